// Runs a safetycrc command in-process and keeps what it wrote, for the command-line tests.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "support/temp_dir.h"

namespace norvane::testing {

struct CliResult {
    int status;
    std::string out;
    std::string err;
};

inline CliResult CallCli(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = norvane::cli::Run(args, out, err);
    return {status, out.str(), err.str()};
}

// A command-line test whose input files lie in a folder of its own.
class CliFileTest : public ::testing::Test {
  protected:
    std::string File(const std::string& name, const std::string& bytes) {
        return WriteFile(dir_.path() / name, bytes);
    }
    TempDir dir_;
};

}  // namespace norvane::testing
