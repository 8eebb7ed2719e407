// `safetycrc tree`: an XML file's element tree as the parser builds it, one node a line.
#include <initializer_list>
#include <string>

#include "base/byte_text.h"
#include "cli/cli_support.h"
#include "cli/cli_usage.h"
#include "xml/xml_tree.h"

namespace norvane::cli {

namespace {

// What the usage lists for the command, and what "safetycrc help tree" adds.
constexpr std::string_view kUsage = "tree FILE      parse FILE and list its element tree\n";
constexpr std::string_view kHelp =
    "\nOne node a line, indented two blanks a level: elements with their names, attributes\n"
    "with their values as written (quotes included), texts and clear sections.\n";

// One line of the listing: indented two blanks a level, the node's kind, its fields escaped.
void AppendNode(std::string& out, size_t depth, std::string_view kind,
                std::initializer_list<std::string_view> fields) {
    out.append(depth * 2, ' ');
    out += kind;
    for (const std::string_view field : fields) {
        out += ' ';
        out += EscapeField(field);
    }
    out += '\n';
}

void ListTree(const XmlElement& element, size_t depth, std::string& out) {
    for (const XmlNode& node : element.nodes) {
        switch (node.kind) {
            case XmlNodeKind::Element: {
                const XmlElement& child = *node.AsElement();
                AppendNode(out, depth, child.isDeclaration ? "declaration" : "element",
                           {child.name});
                ListTree(child, depth + 1, out);
                break;
            }
            case XmlNodeKind::Attribute:
                AppendNode(out, depth, "attribute",
                           {node.AsAttribute()->name, node.AsAttribute()->value});
                break;
            case XmlNodeKind::Text:
                AppendNode(out, depth, "text", {node.AsText()->value});
                break;
            case XmlNodeKind::Clear:
                AppendNode(out, depth, "clear", {node.AsClear()->openTag, node.AsClear()->value});
                break;
            case XmlNodeKind::Empty:
                break;
        }
    }
}

int Tree(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    return WithOneXmlFile(args, out, err, [&](const XmlElement& root) {
        std::string lines;
        ListTree(root, 0, lines);
        out << lines;
    });
}

}  // namespace

constinit const Command kTreeCommand = {"tree", kUsage, kHelp, Tree};

}  // namespace norvane::cli
