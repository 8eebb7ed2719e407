// The self-test: the checks a user of the tool runs on the very machine the tool computes on
// and files as evidence of its validation, and the page that records them with the machine,
// the program and the time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "report/bundled_examples.h"
#include "safety/param_stream.h"

namespace norvane {

struct SelfTestCheck {
    std::string name;         // one word, for the "pass NAME" / "fail NAME DETAIL" lines
    std::string description;  // what was checked, for the page
    bool passed = false;
    std::string detail;  // what went wrong; empty when passed
};

using BitwiseCrcRoutine = uint32_t (*)(uint32_t length, uint32_t initial, const uint8_t* data);

// What the checks run on. The defaults are the program's own routines and bundled examples;
// tests hand in faulty ones to see that each check can fail.
struct SelfTestSetup {
    TableCrcRoutine table = &SafetyCrc32;
    BitwiseCrcRoutine bitwise = &SafetyCrc32Bitwise;
    size_t randomImages = 10000;  // compared between the two routines, 0 to 65 535 bytes each
    size_t randomModules = 2000;  // built into images and read back, in each data format
    size_t randomProjects = 200;  // written and read back as project files
    uint32_t seed = 20261208;
    std::vector<BundledFile> catalogs;  // each linted; the sample project opened against each
    BundledFile sampleProject;
};

// The setup of the real self-test: the routines the core uses, the bundled demo catalogs and
// sample project.
SelfTestSetup DefaultSelfTestSetup();

// Runs every check, in a fixed order with fixed names.
std::vector<SelfTestCheck> RunSelfTest(const SelfTestSetup& setup);

size_t FailedChecks(const std::vector<SelfTestCheck>& checks);

// Where and with what the self-test ran: the facts a reader of the page needs to tie the
// results to one program on one machine.
struct SelfTestEnvironment {
    std::string programName;
    std::string programVersion;
    std::string sourceRevision;
    std::string executablePath;
    std::string executableSha256;  // 64 lowercase hex digits; empty when it could not be read
    std::string operatingSystem;
    std::string qtVersion;
    std::string loginName;
    std::string hostName;
    std::string dateTime;  // ISO 8601 with offset
};

// The environment of this process at `now`; `qtVersion` is the caller's to say (the core knows
// no Qt).
SelfTestEnvironment CurrentSelfTestEnvironment(std::time_t now, std::string qtVersion);

// The SHA-256 of the file's bytes as 64 lowercase hex digits; empty when it cannot be read.
std::string FileSha256(const std::string& path);

// The self-test as one printable HTML page in English: the environment, then one row per check.
std::string MakeSelfTestHtml(const SelfTestEnvironment& environment,
                             const std::vector<SelfTestCheck>& checks);

}  // namespace norvane
