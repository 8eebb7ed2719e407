// `safetycrc xml`: an XML file as the tool writes every XML file, on one line.
#include "cli/cli_support.h"
#include "cli/cli_usage.h"
#include "xml/xml_writer.h"

namespace norvane::cli {

int RunXml(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    return WithOneXmlFile(args, out, err,
                          [&](const XmlElement& root) { out << *XmlCreateString(&root); });
}

}  // namespace norvane::cli
