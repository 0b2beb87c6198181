#include "tests/support/RunTool.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

namespace bw::tools {
namespace {

namespace stdfs = std::filesystem;
using test::runTool;
using test::ToolRun;

const std::string fixtures = BW_MACHO_FIXTURES_DIR;
const std::string tools = BW_LIBEXEC_DIR;

// Every well-formed fixture: all generated files outside malformed/.
std::vector<std::string> wellFormedFixtures() {
    std::vector<std::string> files;
    for (const stdfs::directory_entry& entry : stdfs::recursive_directory_iterator(fixtures)) {
        const std::string path = entry.path().string();
        if (entry.is_regular_file() && path.find("/malformed") == std::string::npos) {
            files.push_back(path);
        }
    }
    std::ranges::sort(files);
    return files;
}

ToolRun ours(const std::string& tool, const std::string& option, const std::string& path) {
    return runTool(tools + "/" + tool, {option, path});
}

// llvm-lipo ends the list with a space before the line feed; ours does not, like Apple's lipo.
std::string withoutTrailingSpace(std::string text) {
    if (text.size() >= 2 && text.compare(text.size() - 2, 2, " \n") == 0) {
        text.erase(text.size() - 2, 1);
    }
    return text;
}

// llvm's tools print only the host's slice of a universal file unless asked for all of them;
// ours always print all, so the comparisons ask llvm for all.
TEST(MachOToolsTest, OutputEqualsLlvmsOnEveryFixture) {
    ASSERT_GE(wellFormedFixtures().size(), 25u); // the comparisons are as good as the set
    for (const std::string& path : wellFormedFixtures()) {
        SCOPED_TRACE(path);
        const ToolRun archs = ours("lipo", "-archs", path);
        const ToolRun llvmArchs = runTool("llvm-lipo-14", {"-archs", path});
        EXPECT_EQ(archs.exitStatus, 0) << archs.standardError;
        EXPECT_EQ(archs.standardOutput, withoutTrailingSpace(llvmArchs.standardOutput));

        const ToolRun libraries = ours("otool", "-L", path);
        const ToolRun llvmLibraries =
            runTool("llvm-objdump-14", {"--macho", "--dylibs-used", "--arch=all", path});
        EXPECT_EQ(libraries.exitStatus, 0) << libraries.standardError;
        EXPECT_EQ(libraries.standardOutput, llvmLibraries.standardOutput);

        const ToolRun symbols = ours("nm", "-u", path);
        const ToolRun llvmSymbols = runTool("llvm-nm-14", {"--arch=all", "-u", path});
        EXPECT_EQ(symbols.exitStatus, 0) << symbols.standardError;
        EXPECT_EQ(symbols.standardOutput, llvmSymbols.standardOutput);
        EXPECT_EQ(symbols.standardError, "");
    }
}

TEST(MachOToolsTest, EveryMalformedFileFailsQuicklyAndCleanly) {
    ASSERT_GE(std::distance(stdfs::directory_iterator(fixtures + "/malformed"),
                            stdfs::directory_iterator()),
              25);
    // Inspection reads only what a tool that succeeds prints: every failure must be one.
    EXPECT_EQ(ours("otool", "-L", fixtures + "/missing").exitStatus, 1);
    for (const stdfs::directory_entry& entry : stdfs::directory_iterator(fixtures + "/malformed")) {
        for (const auto& [tool, option] :
             {std::pair{"lipo", "-archs"}, {"otool", "-L"}, {"nm", "-u"}}) {
            SCOPED_TRACE(std::string(tool) + " " + entry.path().filename().string());
            const ToolRun output = ours(tool, option, entry.path().string());
            EXPECT_EQ(output.exitStatus, 1);
            EXPECT_LT(output.seconds, 1.0);
            EXPECT_EQ(output.standardError.find("Sanitizer"), std::string::npos)
                << output.standardError;
            EXPECT_EQ(output.standardError.find("runtime error"), std::string::npos)
                << output.standardError;
            EXPECT_FALSE(output.standardError.empty() && output.standardOutput.empty());
        }
    }
}

} // namespace
} // namespace bw::tools
