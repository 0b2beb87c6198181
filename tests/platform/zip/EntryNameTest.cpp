#include "platform/zip/EntryName.h"

#include "platform/zip/LinkTarget.h"

#include <gtest/gtest.h>

using namespace bw::zip;
using namespace std::string_literals;

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
        {"...", V::accepted, {"..."}, false},
        {"..a/b..", V::accepted, {"..a", "b.."}, false},
        {"a\\..\\b", V::accepted, {"a\\..\\b"}, false},
        {"a/__MACOSX/x", V::accepted, {"a", "__MACOSX", "x"}, false},
        {".hidden", V::accepted, {".hidden"}, false},
        {"__MACOSX/._a", V::macMetadata, {}, false},
        {"./__MACOSX/", V::macMetadata, {}, true},
        {"", V::empty, {}, false},
        {"./", V::empty, {}, true},
        {"//", V::absolute, {}, true},
        {"/etc/passwd", V::absolute, {}, false},
        {"../x", V::parentComponent, {}, false},
        {"a/../../x", V::parentComponent, {}, false},
        {"a/..", V::parentComponent, {}, false},
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
