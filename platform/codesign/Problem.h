#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace bw::codesign {

// One reason a signature does not verify, naming the component (file, bundle, nested item) it
// concerns. Printed as "path: message".
struct Problem {
    std::string path;
    std::string message;

    bool operator==(const Problem&) const = default;
};

using Problems = std::vector<Problem>;

// For test failure messages.
inline std::ostream& operator<<(std::ostream& out, const Problem& problem) {
    return out << problem.path << ": " << problem.message;
}

} // namespace bw::codesign
