#pragma once

#include "platform/codesign/Problem.h"

#include <filesystem>
#include <string>
#include <vector>

namespace bw::codesign {

struct VerifyOptions {
    bool deep = false;   // verify every nested code item in turn
    bool strict = false; // links out of the bundle and unsigned nested code fail
    unsigned hashThreads = 1;
};

// A step of a deep verification: a nested code item taken up (validated false), or found valid.
struct NestedStep {
    std::filesystem::path path;
    bool validated = false;

    bool operator==(const NestedStep&) const = default;
};

struct Verification {
    Problems problems; // in the order of the checks: the first is the reason to report
    // What could not be evaluated (trust chains, designated requirements), each once.
    std::vector<std::string> notes;
    std::vector<NestedStep> nested; // in order: an item is taken up before its own nested code

    bool valid() const { return problems.empty(); }
};

// Verifies the signature of a bundle (folder) or a single Mach-O file, as `codesign --verify`.
Verification verifyCode(const std::filesystem::path& path, const VerifyOptions& options);

} // namespace bw::codesign
