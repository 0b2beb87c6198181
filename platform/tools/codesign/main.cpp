// codesign stand-in: `codesign --verify [--deep] [--strict] [-v...] PATH` and
// `codesign -d --entitlements :- PATH`, with the exit statuses of the real tool.
#include "platform/codesign/CodeVerifier.h"
#include "platform/codesign/FileHashing.h"
#include "platform/codesign/SignedEntitlements.h"
#include "platform/codesign/VerificationReport.h"
#include "platform/tools/lifeline/ParentLifeline.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr const char* usage = "usage: codesign --verify [--deep] [--strict] [-v...] path\n"
                              "       codesign -d --entitlements :- path\n";

int fail(const char* message) {
    std::fputs(message, stderr);
    return 2;
}

int verify(const std::string& path, bool deep, bool strict, int verbosity) {
    bw::codesign::VerifyOptions options{deep, strict, bw::codesign::defaultHashThreads()};
    bw::codesign::Verification result = bw::codesign::verifyCode(path, options);
    for (const std::string& line : bw::codesign::verificationReport(path, result, verbosity)) {
        std::fprintf(stderr, "%s\n", line.c_str());
    }
    return result.valid() ? 0 : 1;
}

int displayEntitlements(const std::string& path) {
    bw::codesign::SignedEntitlements entitlements = bw::codesign::readSignedEntitlements(path);
    if (!entitlements.error.empty()) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), entitlements.error.c_str());
        return 1;
    }
    std::fprintf(stderr, "Executable=%s\n", entitlements.executable.c_str());
    if (entitlements.xml) {
        std::fwrite(entitlements.xml->data(), 1, entitlements.xml->size(), stdout);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    bw::tools::endWithParent();
    std::vector<std::string> args(argv + 1, argv + argc);
    bool verifyMode = false;
    bool display = false;
    bool deep = false;
    bool strict = false;
    bool entitlements = false;
    int verbosity = 0;
    std::string path;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--verify") {
            verifyMode = true;
        } else if (arg == "-d" || arg == "--display") {
            display = true;
        } else if (arg == "--deep") {
            deep = true;
        } else if (arg == "--strict") {
            strict = true;
        } else if (arg == "--entitlements" && i + 1 < args.size()) {
            if (args[++i] != ":-") {
                return fail("codesign: only --entitlements :- is supported\n");
            }
            entitlements = true;
        } else if (arg.starts_with("-v") && arg.find_first_not_of('v', 1) == std::string::npos) {
            verbosity += static_cast<int>(arg.size()) - 1;
        } else if (arg == "--verbose") {
            verbosity += 1;
        } else if (arg.starts_with("--verbose=")) {
            verbosity += std::atoi(arg.c_str() + 10);
        } else if (!arg.starts_with("-") && path.empty()) {
            path = arg;
        } else {
            return fail(usage);
        }
    }
    // As with the real tool, a bare -v without -d asks for verification.
    verifyMode = verifyMode || (verbosity > 0 && !display);
    if (path.empty() || verifyMode == display) {
        return fail(usage);
    }
    if (display) {
        return entitlements ? displayEntitlements(path) : fail(usage);
    }
    return verify(path, deep, strict, verbosity);
}
