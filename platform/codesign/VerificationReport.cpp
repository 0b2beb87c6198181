#include "platform/codesign/VerificationReport.h"

namespace bw::codesign {

namespace stdfs = std::filesystem;

namespace {

// Apple's tool names changed files by their absolute paths, whatever path it was given.
std::vector<std::string> changedFiles(const Problems& problems, const Problem& reason) {
    std::vector<std::string> lines;
    for (const auto& [change, label] : {std::pair{ResourceChange::added, "file added: "},
                                        std::pair{ResourceChange::modified, "file modified: "},
                                        std::pair{ResourceChange::missing, "file missing: "}}) {
        for (const Problem& problem : problems) {
            if (problem.change == change && problem.subcomponent == reason.subcomponent) {
                lines.push_back(label + stdfs::absolute(problem.path).string());
            }
        }
    }
    return lines;
}

} // namespace

std::vector<std::string> verificationReport(const std::string& path,
                                            const Verification& verification, int verbosity) {
    std::vector<std::string> lines;
    if (verbosity > 1) {
        for (const NestedStep& step : verification.nested) {
            lines.push_back((step.validated ? "--validated:" : "--prepared:") + step.path.string());
        }
    }
    if (!verification.valid()) {
        // Like Apple's tool, one reason: the first problem found.
        const Problem& reason = verification.problems.front();
        lines.push_back(path + ": " + reason.message);
        if (!reason.architecture.empty()) {
            lines.push_back("In architecture: " + reason.architecture);
        }
        if (!reason.subcomponent.empty()) {
            lines.push_back("In subcomponent: " + reason.subcomponent);
        }
        if (reason.change != ResourceChange::none) {
            for (std::string& line : changedFiles(verification.problems, reason)) {
                lines.push_back(std::move(line));
            }
        }
        return lines;
    }
    if (verbosity > 0) {
        lines.push_back(path + ": valid on disk");
        for (const std::string& note : verification.notes) {
            lines.push_back(path + ": " + note);
        }
    }
    return lines;
}

} // namespace bw::codesign
