#include <string>
#include <utility>
#include <vector>

#include "base/single_instance.h"
#include "window/application.h"

namespace {

// Made before anything else runs, so that a second copy finds the name taken at once.
const norvane::SingleInstanceGuard g_singleInstance;

}  // namespace

int main(int argc, char** argv) {
    // Taken before Qt sees them: Qt removes the switches it knows (-style, -reverse, ...) from
    // argv, and the program must count every argument it was given.
    std::vector<std::string> arguments(argv, argv + argc);
    norvane::CNorvaneCRCToolApp application(argc, argv, std::move(arguments), g_singleInstance);
    application.InitInstance();
    return 0;
}
