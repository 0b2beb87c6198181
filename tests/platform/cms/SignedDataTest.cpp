#include "platform/cms/SignedData.h"

#include "platform/cms/CmsError.h"
#include "tests/support/ReadFile.h"
#include "tests/support/RunTool.h"
#include "tests/support/TestFolder.h"
#include "tests/support/Thrown.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace stdfs = std::filesystem;
using bw::cms::CmsError;
using bw::cms::signedContent;
using bw::test::runTool;
using bw::test::TestFolder;
using bw::test::ToolRun;

namespace {

const stdfs::path profiles = BW_PROFILE_FIXTURES_DIR;
const stdfs::path plists = BW_PROFILE_FIXTURE_SOURCES;
const stdfs::path security = stdfs::path(BW_LIBEXEC_DIR) / "security";

void writeWhole(const stdfs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

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
    const std::pair<const char*, const char*> cases[] = {
        {"development", "development"}, {"appstore", "appstore"}, {"expired", "expired"},
        {"wildcard", "wildcard"},       {"streamed", "appstore"}, // indefinite lengths, as Apple's
                                                                  // profiles come
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
    writeWhole(work.fsPath() / "garbage", "<?xml version=\"1.0\"?><plist/>");
    writeWhole(work.fsPath() / "empty", "");
    const std::string truncated = bw::test::readFile(profiles / "appstore.mobileprovision");
    writeWhole(work.fsPath() / "truncated", truncated.substr(0, truncated.size() / 2));
    ASSERT_EQ(::mkfifo((work.fsPath() / "fifo").c_str(), 0600), 0);
    struct Case {
        stdfs::path file;
        const char* reason;
    };
    const Case cases[] = {
        {work.fsPath() / "garbage", "not a CMS message"},
        {work.fsPath() / "empty", "not a CMS message"},
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

TEST(SecurityCms, AcceptsOnlyItsOneInvocation) {
    const std::vector<std::vector<std::string>> invocations = {
        {},
        {"cms", "-D", "-i", "a", "b"},
        {"find-identity", "-v", "-p", "codesigning"},
    };
    for (const auto& arguments : invocations) {
        const ToolRun run = runTool(security, arguments);
        EXPECT_EQ(run.exitStatus, 1);
        EXPECT_EQ(run.standardError, "usage: security cms -D -i FILE\n");
    }
}

TEST(SignedContent, NamesWhatIsWrongWithAMessage) {
    using Kind = CmsError::Kind;
    struct Case {
        const char* what;
        std::string der;
        Kind kind;
    };
    const Case cases[] = {
        {"empty", "", Kind::notCms},
        {"garbage", "\x30\x03\x02\x01", Kind::notCms},
        {"detached", bw::test::readFile(profiles / "detached.mobileprovision"), Kind::noContent},
        {"digested", bw::test::readFile(profiles / "digested.mobileprovision"),
         Kind::notSignedData},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(bw::test::thrownKind<CmsError>([&] { signedContent(c.der); }), c.kind) << c.what;
    }
    // Apple's tool writes the content whether or not the signature still matches it.
    EXPECT_NE(signedContent(tamperedProfile()).find("berthwatch Example App Store"),
              std::string::npos);
}
