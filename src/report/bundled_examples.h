// The demo catalogs and the sample project, built into the program from examples/, so that the
// self-test has inputs whose outcome is known on any machine, installed or not.
#pragma once

#include <span>
#include <string_view>

namespace norvane {

struct BundledFile {
    std::string_view name;   // the file's name in examples/
    std::string_view bytes;  // its bytes as the build found them
};

// SafetyConfiguratorEN.xml, SafetyConfiguratorDE.xml and SampleProject.kfx, in that order.
std::span<const BundledFile> BundledExamples();

}  // namespace norvane
