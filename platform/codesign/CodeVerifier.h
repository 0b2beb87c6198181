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

struct Verification {
    Problems problems;
    std::vector<std::string> notes;                     // for verbose output
    std::vector<std::filesystem::path> validatedNested; // nested items verified with --deep

    bool valid() const { return problems.empty(); }
};

// Verifies the signature of a bundle (folder) or a single Mach-O file, as `codesign --verify`.
Verification verifyCode(const std::filesystem::path& path, const VerifyOptions& options);

} // namespace bw::codesign
