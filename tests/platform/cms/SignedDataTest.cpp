#include "platform/cms/SignedData.h"

#include "tests/support/ReadFile.h"
#include "tests/support/RunTool.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace stdfs = std::filesystem;
using bw::cms::signedContent;
using bw::test::runTool;
using bw::test::TestFolder;
using bw::test::ToolRun;

namespace {

const stdfs::path profiles = BW_PROFILE_FIXTURES_DIR;
const stdfs::path plists = BW_PROFILE_FIXTURE_SOURCES;
const stdfs::path security = stdfs::path(BW_LIBEXEC_DIR) / "security";

// The App Store profile with one letter of its signed content changed.
std::string tamperedProfile() {
    std::string der = bw::test::readFile(profiles / "appstore.mobileprovision");
    const std::size_t at = der.find("Berthwatch Example App Store");
    EXPECT_NE(at, std::string::npos);
    der[at] = 'b';
    return der;
}

ToolRun decode(const stdfs::path& file) {
    return runTool(security, {"cms", "-D", "-i", file});
}

} // namespace

TEST(SecurityCms, WritesTheExactSignedPropertyList) {
    // The profile checks' tests read the other profiles through the tool.
    const std::pair<const char*, const char*> cases[] = {
        {"development", "development"},
        {"streamed", "appstore"}, // indefinite lengths, as Apple's profiles come
    };
    for (const auto& [profile, plist] : cases) {
        SCOPED_TRACE(profile);
        const ToolRun run = decode(profiles / (std::string(profile) + ".mobileprovision"));
        EXPECT_EQ(run.exitStatus, 0);
        EXPECT_EQ(run.standardError, "");
        EXPECT_EQ(run.standardOutput, bw::test::readFile(plists / (std::string(plist) + ".plist")));
    }
}

TEST(SecurityCms, FailsWithAMessageForAnythingElse) {
    const TestFolder work;
    const std::string truncated = bw::test::readFile(profiles / "appstore.mobileprovision");
    bw::test::writeFile(work.fsPath() / "truncated", truncated.substr(0, truncated.size() / 2));
    ASSERT_EQ(::mkfifo((work.fsPath() / "fifo").c_str(), 0600), 0);
    struct Case {
        stdfs::path file;
        const char* reason;
    };
    const Case cases[] = {
        {work.fsPath() / "truncated", "not a CMS message"},
        {profiles / "detached.mobileprovision", "the CMS message has no content"},
        {profiles / "digested.mobileprovision", "the CMS message is not signed data"},
        {work.fsPath() / "missing", "No such file or directory"},
        {work.fsPath(), "Is a directory"},
        {work.fsPath() / "fifo", "not a regular file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.string());
        const ToolRun run = decode(c.file);
        EXPECT_EQ(run.exitStatus, 1);
        EXPECT_EQ(run.standardOutput, "");
        EXPECT_EQ(run.standardError.rfind("security: " + c.file.string() + ": " + c.reason, 0), 0u)
            << run.standardError;
    }
}

// The tool's tests above cover each refusal; Apple's tool writes the content whether or not the
// signature still matches it.
TEST(SignedContent, ReturnsTheContentOfATamperedMessage) {
    EXPECT_NE(signedContent(tamperedProfile()).find("berthwatch Example App Store"),
              std::string::npos);
}
