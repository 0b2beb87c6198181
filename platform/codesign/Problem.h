#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace bw::codesign {

// How a sealed resource differs from its seal, when that is the problem.
enum class ResourceChange { none, added, modified, missing };

// One reason a signature does not verify, in the words of Apple's tool, with what it concerns.
struct Problem {
    std::string path;    // the file or code it concerns
    std::string message; // the reason, e.g. "a sealed resource is missing or invalid"
    ResourceChange change = ResourceChange::none;
    std::string architecture = {}; // the slice it lies in, or "" (not in the code itself)
    std::string subcomponent = {}; // the nested code it lies in, or ""

    bool operator==(const Problem&) const = default;
};

using Problems = std::vector<Problem>;

inline constexpr const char* resourceReason = "a sealed resource is missing or invalid";
inline constexpr const char* unsignedReason = "code object is not signed at all";
inline constexpr const char* modifiedReason =
    "invalid signature (code or signature have been modified)";
inline constexpr const char* formatReason = "invalid or unsupported format for signature";

// For test failure messages.
inline std::ostream& operator<<(std::ostream& out, const Problem& problem) {
    out << problem.path << ": " << problem.message;
    if (!problem.architecture.empty()) {
        out << " [" << problem.architecture << "]";
    }
    if (!problem.subcomponent.empty()) {
        out << " [in " << problem.subcomponent << "]";
    }
    return out;
}

} // namespace bw::codesign
