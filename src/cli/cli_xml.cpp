// `safetycrc xml`: an XML file as the tool writes every XML file, on one line.
#include "cli/cli_support.h"
#include "cli/cli_usage.h"
#include "xml/xml_writer.h"

namespace norvane::cli {

namespace {

// What the usage lists for the command, and what "safetycrc help xml" adds.
constexpr std::string_view kUsage = "xml FILE       parse FILE and write it back on one line\n";
constexpr std::string_view kHelp = "\nThe one-line form in which the tool writes every XML file.\n";

int Xml(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    return WithOneXmlFile(args, out, err,
                          [&](const XmlElement& root) { out << *XmlCreateString(&root); });
}

}  // namespace

constinit const Command kXmlCommand = {"xml", kUsage, kHelp, Xml};

}  // namespace norvane::cli
