#include "xml/xml_writer.h"

namespace norvane {

namespace {

bool HasContent(const XmlElement& element) {
    for (const XmlNode& node : element.nodes) {
        if (node.kind == XmlNodeKind::Element || node.kind == XmlNodeKind::Text ||
            node.kind == XmlNodeKind::Clear) {
            return true;
        }
    }
    return false;
}

// Runs the serialisation once; `Sink` either counts or appends.
template <class Sink>
void Serialise(const XmlElement& element, Sink& out) {
    const bool named = !element.name.empty();
    const bool content = HasContent(element);
    if (named) {
        out('<');
        out(element.name);
        for (const XmlNode& node : element.nodes) {
            if (const XmlAttribute* attribute = node.AsAttribute()) {
                if (attribute->name.empty()) {
                    continue;
                }
                out(' ');
                out(attribute->name);
                if (!attribute->value.empty()) {
                    out('=');
                    out(attribute->value);
                }
            }
        }
        // The trailing blank after the name or the last attribute is replaced by ">" or
        // taken back, so it is simply never written.
        if (content) {
            out('>');
        }
    }
    for (const XmlNode& node : element.nodes) {
        if (const XmlElement* child = node.AsElement()) {
            Serialise(*child, out);
        } else if (const XmlText* text = node.AsText()) {
            out(text->value);
        } else if (const XmlClear* clear = node.AsClear()) {
            out(clear->openTag);
            out(clear->value);
            out(clear->closeTag);
        }
    }
    if (named) {
        if (content) {
            out(std::string_view("</"));
            out(element.name);
            out('>');
        } else {
            out(std::string_view("/>"));
        }
    }
}

struct Counter {
    size_t length = 0;
    void operator()(char) { ++length; }
    void operator()(std::string_view text) { length += text.size(); }
};

struct Appender {
    std::string& text;
    void operator()(char c) { text += c; }
    void operator()(std::string_view part) { text.append(part); }
};

}  // namespace

std::optional<std::string> XmlCreateString(const XmlElement* element) {
    if (element == nullptr) {
        return std::nullopt;
    }
    Counter counter;
    Serialise(*element, counter);
    std::string text;
    text.reserve(counter.length);
    Appender appender{text};
    Serialise(*element, appender);
    return text;
}

}  // namespace norvane
