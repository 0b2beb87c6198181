#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace bw::test {

struct ToolRun {
    int exitStatus = -1; // -1 when the tool did not exit normally
    std::string standardOutput;
    std::string standardError;
    double seconds = 0; // from start to exit
};

// Runs an executable (a path, or a name searched in PATH) to completion with the given arguments
// and collects what it wrote.
ToolRun runTool(const std::filesystem::path& executable, const std::vector<std::string>& arguments);

} // namespace bw::test
