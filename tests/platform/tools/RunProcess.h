#pragma once

#include <string>
#include <vector>

namespace bw::tools::testing {

struct ProcessOutput {
    int exitStatus = -1; // -1 when the process did not exit normally
    std::string out;
    std::string err;
    double seconds = 0;
};

// Runs `arguments[0]` (searched in PATH) with its output captured in files, so that neither
// stream can block the other.
ProcessOutput runProcess(const std::vector<std::string>& arguments);

} // namespace bw::tools::testing
