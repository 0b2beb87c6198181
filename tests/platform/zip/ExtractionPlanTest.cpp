#include "platform/zip/ExtractionPlan.h"

#include "platform/zip/Archive.h"
#include "platform/zip/EntryName.h"
#include "platform/zip/ExtractionError.h"
#include "platform/zip/LinkTarget.h"
#include "tests/fixtures/zip/RawZip.h"
#include "tests/support/Thrown.h"

#include <gtest/gtest.h>
#include <tuple>

using namespace bw::zip;
using bw::fixtures::RawEntry;
using bw::fixtures::rawZip;
using namespace std::string_literals;

namespace {

struct OpenArchive {
    std::string bytes;
    Archive archive;
};

std::unique_ptr<OpenArchive> openInMemory(const std::vector<RawEntry>& entries,
                                          bool zip64 = false) {
    std::string bytes = rawZip(entries, zip64);
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    zip_t* handle = zip_open_from_source(source, ZIP_RDONLY, &error);
    zip_error_fini(&error);
    if (handle == nullptr) {
        zip_source_free(source);
        throw std::runtime_error("not an archive");
    }
    return std::make_unique<OpenArchive>(OpenArchive{std::move(bytes), Archive(handle)});
}

ExtractionPlan planOf(const std::vector<RawEntry>& entries, bool zip64 = false) {
    return planExtraction(openInMemory(entries, zip64)->archive);
}

std::vector<std::string> pathsOf(const std::vector<PlannedEntry>& entries) {
    std::vector<std::string> paths;
    for (const PlannedEntry& entry : entries) {
        paths.push_back(joinedPath(entry.path));
    }
    return paths;
}

std::optional<ExtractionError::Kind> refusalOf(const std::vector<RawEntry>& entries) {
    return bw::test::thrownKind<ExtractionError>([&] { planOf(entries); });
}

} // namespace

TEST(ExtractionPlan, ImpliesMissingFoldersParentsFirstAndTakesLaterDescriptions) {
    const ExtractionPlan plan = planOf({
        {.name = "b/c/d.txt", .data = "d"},
        {.name = "a.txt", .data = "a"},
        {.name = "b/", .unixMode = 040700},
        {.name = "__MACOSX/b/._d.txt", .data = "fork"},
    });
    EXPECT_EQ(pathsOf(plan.directories), (std::vector<std::string>{"b", "b/c"}));
    EXPECT_EQ(plan.directories[0].mode, 0700);
    EXPECT_EQ(plan.directories[1].mode, 0755);
    EXPECT_FALSE(plan.directories[1].modified.has_value());
    EXPECT_EQ(pathsOf(plan.files), (std::vector<std::string>{"a.txt", "b/c/d.txt"}));
    EXPECT_EQ(plan.declaredBytes, 2u);
}

TEST(ExtractionPlan, LeavesOutAppleDoubleMetadataBesideItsItem) {
    const std::string metadata("\0\5\26\7\0\2\0\0Mac OS X        ", 24);
    const ExtractionPlan plan = planOf({
        {.name = "App.app/Info.plist", .data = "x"},
        {.name = "App.app/._Info.plist", .data = metadata},
        {.name = "._App.app", .data = metadata},
        {.name = "App.app/._Orphan", .data = metadata},
        {.name = "App.app/._Assets.car", .data = "not metadata"},
        {.name = "App.app/Assets.car", .data = "car"},
    });
    EXPECT_EQ(pathsOf(plan.files),
              (std::vector<std::string>{"App.app/._Assets.car", "App.app/._Orphan",
                                        "App.app/Assets.car", "App.app/Info.plist"}));
}

TEST(ExtractionPlan, KeepsPermissionBitsWithoutSetuidSetgidOrSticky) {
    const ExtractionPlan plan = planOf({
        {.name = "tool", .data = "x", .unixMode = 0106755},
        {.name = "shared/", .unixMode = 043777},
        {.name = "plain", .data = "x", .unixMode = 0100640},
        {.name = "dos", .data = "x", .unixMode = 0},
    });
    ASSERT_EQ(plan.files.size(), 3u); // "dos" (no Unix mode), "plain", "tool"
    EXPECT_EQ(std::tuple(plan.files[0].mode, plan.files[1].mode, plan.files[2].mode,
                         plan.directories.at(0).mode),
              std::tuple(0644u, 0640u, 0755u, 0777u));
}

TEST(ExtractionPlan, PathsDifferingOnlyInCaseAreOneItemAsOnAMac) {
    const ExtractionPlan plan = planOf({
        {.name = "App.app/Assets.car", .data = "first"},
        {.name = "app.app/ASSETS.car", .data = "second!"},
        {.name = "./APP.APP/Sub/new.txt", .data = "x"},
    });
    EXPECT_EQ(pathsOf(plan.directories), (std::vector<std::string>{"App.app", "App.app/Sub"}));
    EXPECT_EQ(pathsOf(plan.files),
              (std::vector<std::string>{"App.app/Assets.car", "App.app/Sub/new.txt"}));
    EXPECT_EQ(plan.files[0].index, 1u);
}

TEST(ExtractionPlan, RefusesTheWholeArchiveForOneBadEntry) {
    using Kind = ExtractionError::Kind;
    struct Case {
        const char* what;
        std::vector<RawEntry> entries;
        Kind kind;
    };
    // Each entry 500 folders deep in folders of its own: planned, they took the square of that.
    std::vector<RawEntry> deep;
    for (int i = 0; i < 40; ++i) {
        std::string name = std::to_string(i);
        name += "/";
        for (int level = 0; level < 500; ++level) {
            name += "a/";
        }
        deep.push_back({.name = name + "f"});
    }
    const Case cases[] = {
        {"deep folders of their own", deep, Kind::unsafeEntryName},
        {"file deep under a file",
         {{.name = "x/y", .data = "file"}, {.name = "x/y/z/w", .data = "inner"}},
         Kind::conflictingEntries},
        {"folder then link",
         {{.name = "x/y", .data = "inner"}, {.name = "x", .data = "y", .unixMode = 0120777}},
         Kind::conflictingEntries},
        {"folder then file",
         {{.name = "x/", .unixMode = 040755}, {.name = "x"}},
         Kind::conflictingEntries},
        {"inflating link",
         {{.name = "l",
           .data = std::string(100, 'a'),
           .unixMode = 0120777,
           .deflate = true,
           .declaredSize = 10}},
         Kind::inflatesBeyondSize},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(refusalOf(c.entries), c.kind) << c.what;
    }
}

TEST(ExtractionPlan, DeclaredBytesSaturateInsteadOfWrapping) {
    const std::uint64_t half = 1ULL << 63;
    const ExtractionPlan plan =
        planOf({{.name = "a", .data = "x", .deflate = true, .declaredSize = half},
                {.name = "b", .data = "x", .deflate = true, .declaredSize = half}},
               true);
    EXPECT_EQ(plan.declaredBytes, UINT64_MAX);
}

TEST(EntryName, SplitsSafeNamesAndRefusesTheRest) {
    struct Case {
        std::string name;
        EntryNameVerdict verdict;
        std::vector<std::string> components;
        bool directory;
    };
    using V = EntryNameVerdict;
    const Case cases[] = {
        {"a/b.txt", V::accepted, {"a", "b.txt"}, false},
        {"Payload/Example.app/", V::accepted, {"Payload", "Example.app"}, true},
        {"./a//./b", V::accepted, {"a", "b"}, false},
        {"..a/b..", V::accepted, {"..a", "b.."}, false},
        {"a\\..\\b", V::accepted, {"a\\..\\b"}, false},
        {"a/__MACOSX/x", V::accepted, {"a", "__MACOSX", "x"}, false},
        {"./__MACOSX/", V::macMetadata, {}, true},
        {"", V::empty, {}, false},
        {"./", V::empty, {}, true},
        {"/etc/passwd", V::absolute, {}, false},
        {"../x", V::parentComponent, {}, false},
        {"__MACOSX/../x", V::parentComponent, {}, false},
        {std::string(1024, 'n'), V::accepted, {std::string(1024, 'n')}, false},
        {std::string(1025, 'n'), V::tooLong, {}, false},
        {"a\0/../../b"s, V::nulCharacter, {}, false},
    };
    for (const Case& c : cases) {
        const CheckedEntryName checked = checkEntryName(c.name);
        EXPECT_EQ(checked.verdict, c.verdict) << c.name;
        EXPECT_EQ(checked.components, c.components) << c.name;
        EXPECT_EQ(checked.directory, c.directory) << c.name;
    }
}

TEST(LinkTarget, AcceptsOnlyTargetsThatCannotLeaveTheDestination) {
    struct Case {
        std::string target;
        std::size_t depth;
        bool inside;
    };
    const Case cases[] = {
        {"A", 0, true},        {"Versions/Current/Kit", 1, true},
        {"./a/./b", 0, true},  {".", 0, true},
        {"../x", 1, true},     {"..", 1, true},
        {"..//../x", 2, true}, {"../../PlugIns/Widget.appex/Widget", 4, true},
        {"../x", 0, false},    {"../../x", 1, false},
        {"/etc", 5, false},    {"/", 0, false},
        {"", 3, false},        {"here/..", 3, false},
        {"a/../b", 2, false},  {"../a/../b", 3, false},
        {"x\0y"s, 1, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(linkTargetStaysInside(c.target, c.depth), c.inside)
            << '"' << c.target << "\" at depth " << c.depth;
    }
}
