// Serialises an element tree on one line, without indentation, line breaks or escaping. The
// output is reproduced byte for byte, because a project file's digest is taken over it.
#pragma once

#include <optional>
#include <string>

#include "xml/xml_tree.h"

namespace norvane {

// The element and everything below it; the document root (no name) is only a container.
// Null gives none.
std::optional<std::string> XmlCreateString(const XmlElement* element);

}  // namespace norvane
