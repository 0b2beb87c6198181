#include "tests/fixtures/zip/TreeDescription.h"
#include "tests/support/ReadFile.h"
#include "tests/support/RunTool.h"
#include "tests/support/TestFolder.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bw::fixtures {
void PrintTo(const TreeItem& item, std::ostream* out) {
    *out << item.path << " kind " << int(item.kind) << " mode " << item.mode << " time "
         << item.modified << " " << item.content.size() << " bytes";
}
} // namespace bw::fixtures

namespace stdfs = std::filesystem;
using bw::fixtures::TreeItem;
using bw::test::runTool;
using bw::test::TestFolder;
using bw::test::ToolRun;

namespace {

const stdfs::path fixtures = BW_ZIP_FIXTURES_DIR;
const stdfs::path descriptions = BW_ZIP_FIXTURE_SOURCES;
const stdfs::path ditto = stdfs::path(BW_LIBEXEC_DIR) / "ditto";

ToolRun extract(const stdfs::path& archive, const stdfs::path& destination) {
    return runTool(ditto, {"-x", "-k", archive.string(), destination.string()});
}

// What is on disk under `root`, in the form of a tree description, sorted by path.
std::vector<TreeItem> snapshot(const stdfs::path& root) {
    std::vector<TreeItem> items;
    for (auto it = stdfs::recursive_directory_iterator(root);
         it != stdfs::recursive_directory_iterator(); ++it) {
        struct stat info {};
        EXPECT_EQ(::lstat(it->path().c_str(), &info), 0);
        TreeItem item;
        item.path = it->path().lexically_relative(root).string();
        item.modified = info.st_mtim.tv_sec;
        if (S_ISLNK(info.st_mode)) {
            item.kind = TreeItem::Kind::link;
            item.content = stdfs::read_symlink(it->path()).string();
        } else {
            item.kind = S_ISDIR(info.st_mode) ? TreeItem::Kind::directory : TreeItem::Kind::file;
            item.mode = info.st_mode & 07777;
            if (item.kind == TreeItem::Kind::file) {
                item.content = bw::test::readFile(it->path());
            }
        }
        items.push_back(std::move(item));
    }
    std::sort(items.begin(), items.end(), [](auto& a, auto& b) { return a.path < b.path; });
    return items;
}

std::vector<TreeItem> expectedTree(const char* description) {
    std::vector<TreeItem> items = bw::fixtures::readTreeDescription(descriptions / description);
    std::erase_if(items,
                  [](const TreeItem& item) { return item.kind == TreeItem::Kind::metadata; });
    std::sort(items.begin(), items.end(), [](auto& a, auto& b) { return a.path < b.path; });
    return items;
}

std::vector<std::string> namesIn(const stdfs::path& folder) {
    std::vector<std::string> names;
    for (const stdfs::directory_entry& entry : stdfs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(Ditto, RoundTripsDescribedTreesExactly) {
    struct Case {
        const char* archive;
        const char* description;
    };
    const Case cases[] = {
        {"tree.zip", "tree.txt"},
        {"tree-infozip.zip", "tree.txt"},
        {"Example.ipa", "ipa.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.archive);
        const TestFolder work;
        const ToolRun run = extract(fixtures / c.archive, work.fsPath() / "out");
        EXPECT_EQ(run.exitStatus, 0) << run.standardError;
        EXPECT_EQ(run.standardOutput + run.standardError, "");
        EXPECT_EQ(snapshot(work.fsPath() / "out"), expectedTree(c.description));
    }
}

// Root may write into read-only folders; an ordinary user may not, so this shows that folders
// get their final modes only once they are filled. Run by an ordinary user, the round trips above
// show it already.
TEST(Ditto, RoundTripsAsAnOrdinaryUser) {
    const stdfs::path setpriv = "/usr/bin/setpriv";
    if (::geteuid() != 0 || !stdfs::exists(setpriv)) {
        GTEST_SKIP() << "not root, or no setpriv";
    }
    // The checkout may live in a folder only root can enter (root's home): the unprivileged user
    // gets its own copies of the tool and the archive.
    const TestFolder work;
    const stdfs::path tool = work.fsPath() / "ditto";
    const stdfs::path archive = work.fsPath() / "tree.zip";
    stdfs::copy_file(ditto, tool);
    stdfs::copy_file(fixtures / "tree.zip", archive);
    ASSERT_EQ(::chown(work.fsPath().c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chmod(archive.c_str(), 0644), 0);
    const ToolRun run = runTool(setpriv, {"--reuid=65534", "--regid=65534", "--clear-groups", tool,
                                          "-x", "-k", archive, work.fsPath() / "out"});
    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_EQ(snapshot(work.fsPath() / "out"), expectedTree("tree.txt"));
}

TEST(Ditto, RefusesHostileArchivesWithoutWritingOutsideTheDestination) {
    struct Case {
        const char* archive;
        const char* message;
        bool refusedBeforeWriting;
    };
    const Case cases[] = {
        {"absolute.zip", "refused entry \"/tmp/berthwatch-fixture-absolute.txt\": absolute", true},
        {"link-escape.zip", "refused symbolic link \"sub/up\"", true},
        {"write-through-link.zip", "refused entry \"inside/payload.txt\"", true},
        {"huge-declared.zip", "it declares 1125899906842624 bytes of content but only", false},
        {"bomb.zip", "refused entry \"bomb.bin\": its data is larger than its declared size",
         false},
    };
    stdfs::remove("/tmp/berthwatch-fixture-absolute.txt");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.archive);
        const TestFolder work;
        stdfs::create_directory(work.fsPath() / "inner");
        const stdfs::path destination = work.fsPath() / "inner" / "out";
        const ToolRun run = extract(fixtures / "hostile" / c.archive, destination);
        EXPECT_EQ(run.exitStatus, 1);
        EXPECT_EQ(run.standardOutput, "");
        EXPECT_NE(run.standardError.find(c.message), std::string::npos) << run.standardError;
        EXPECT_EQ(run.standardError.rfind("ditto: ", 0), 0u) << run.standardError;
        EXPECT_EQ(namesIn(work.fsPath()), std::vector<std::string>{"inner"});
        if (c.refusedBeforeWriting) {
            EXPECT_EQ(namesIn(work.fsPath() / "inner"), std::vector<std::string>{});
        } else {
            EXPECT_EQ(namesIn(work.fsPath() / "inner"), std::vector<std::string>{"out"});
            for (const stdfs::directory_entry& entry :
                 stdfs::recursive_directory_iterator(destination)) {
                EXPECT_LE(entry.file_size(), 1024u) << entry.path();
            }
        }
    }
    EXPECT_FALSE(stdfs::exists("/tmp/berthwatch-fixture-absolute.txt"));
}

TEST(Ditto, FailsWithAMessageForWhatIsNotAReadableArchive) {
    struct Case {
        stdfs::path archive;
        const char* message;
    };
    const Case cases[] = {
        {fixtures / "broken" / "truncated.zip",
         "not a readable zip archive (the directory at its end is missing"},
        {fixtures / "broken" / "missing.zip", "not a readable zip archive (No such file)"},
        {fixtures / "broken" / "bad-crc.zip", "could not read entry \"damaged.txt\": CRC error"},
        {fixtures / "broken" / "encrypted.zip",
         "could not read entry \"secret.txt\": it is encrypted (password-protected)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.archive.string());
        const TestFolder work;
        const ToolRun run = extract(c.archive, work.fsPath() / "out");
        EXPECT_EQ(run.exitStatus, 1);
        EXPECT_NE(run.standardError.find(c.message), std::string::npos) << run.standardError;
    }
}

TEST(Ditto, DropsSetuidAndSetgidBits) {
    const TestFolder work;
    const ToolRun run = extract(fixtures / "setuid.zip", work.fsPath());
    ASSERT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_EQ(stdfs::status(work.fsPath() / "bin").permissions(), stdfs::perms(0755));
    EXPECT_EQ(stdfs::status(work.fsPath() / "bin" / "tool").permissions(), stdfs::perms(0755));
}

TEST(Ditto, ReadsZip64Archives) {
    const TestFolder work;
    const ToolRun run = extract(fixtures / "zip64.zip", work.fsPath());
    ASSERT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_EQ(bw::test::readFile(work.fsPath() / "big" / "one.txt"), "first\n");
    EXPECT_EQ(bw::test::readFile(work.fsPath() / "big" / "two.bin"),
              bw::fixtures::textLikeBytes(100000, 2));
}

TEST(Ditto, NeverFollowsALinkAlreadyInTheDestination) {
    const TestFolder work;
    stdfs::create_directories(work.fsPath() / "outside");
    stdfs::create_directories(work.fsPath() / "out");
    stdfs::create_directory_symlink("../outside", work.fsPath() / "out" / "Payload");
    const ToolRun run = extract(fixtures / "Example.ipa", work.fsPath() / "out");
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.standardError.find("a symbolic link or file is in the way"), std::string::npos)
        << run.standardError;
    EXPECT_TRUE(stdfs::is_empty(work.fsPath() / "outside"));
}
