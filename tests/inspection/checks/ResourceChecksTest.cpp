#include "inspection/checks/ResourceChecks.h"

#include "tests/inspection/checks/CheckResults.h"

#include <gtest/gtest.h>

using namespace bw;
using namespace bw::test;

namespace {

class ResourceChecksTest : public ::testing::Test {
protected:
    // A bundle holding `files` (relative path, content); scanned with `info`.
    CheckResults resources(const std::vector<std::pair<const char*, QByteArray>>& files,
                           const PlistDictionary& info = {}) {
        const QString app = folder.makeFolder(QStringLiteral("B%1.app").arg(++count));
        for (const auto& [path, bytes] : files) {
            folder.write(app.mid(folder.path().size() + 1) + u'/' + QString::fromUtf8(path), bytes);
        }
        CheckResults results;
        checks::inspectResources(info, app, BuildScanner::bundleFiles(app),
                                 BuildScanner::bundleSize(app), results.findings, results.passed);
        return results;
    }

    TestFolder folder;
    int count = 0;
};

} // namespace

TEST_F(ResourceChecksTest, DebrisIncludingHiddenFiles) {
    const struct {
        const char* name;
        std::vector<std::pair<const char*, QByteArray>> files;
        QString evidence; // empty: no debris
    } cases[] = {
        {"clean", {{"App", "x"}, {"thumbs.dbx", "x"}}, {}},
        {"inside a hidden folder", {{".git/.ds_store", "x"}}, ".ds_store"},
        {"at most five",
         {{"1/Thumbs.db", "x"},
          {"2/Thumbs.db", "x"},
          {"3/Thumbs.db", "x"},
          {"4/Thumbs.db", "x"},
          {"5/Thumbs.db", "x"},
          {"6/Thumbs.db", "x"},
          {"7/Thumbs.db", "x"}},
         "Thumbs.db, Thumbs.db, Thumbs.db, Thumbs.db, Thumbs.db"},
    };
    for (const auto& c : cases) {
        const CheckResults results = resources(c.files);
        const Finding* debris = results.find("package.debris");
        if (c.evidence.isEmpty()) {
            EXPECT_FALSE(debris) << c.name;
            EXPECT_TRUE(results.passedList().contains("No common packaging debris found"))
                << c.name;
        } else {
            ASSERT_TRUE(debris) << c.name;
            EXPECT_EQ(debris->evidence, c.evidence) << c.name;
            EXPECT_FALSE(results.passedList().contains("No common packaging debris found"));
        }
    }
}

TEST_F(ResourceChecksTest, TransportSecurityAndEmptyBundle) {
    const auto ats = [](PlistValue value) {
        return dictionary({{"NSAppTransportSecurity",
                            dictionaryValue({{"NSAllowsArbitraryLoads", std::move(value)}})}});
    };
    const struct {
        const char* name;
        PlistDictionary info;
        bool finding;
    } cases[] = {
        {"true", ats(PlistValue(true)), true},
        {"false", ats(PlistValue(false)), false},
        {"text YES", ats(text("YES")), false},
        {"not a dictionary", dictionary({{"NSAppTransportSecurity", text("x")}}), false},
    };
    for (const auto& c : cases) {
        const CheckResults results = resources({{"Assets.car", "x"}}, c.info);
        EXPECT_EQ(results.find("privacy.ats-arbitrary") != nullptr, c.finding) << c.name;
        EXPECT_EQ(results.passedList().contains("App Transport Security is not globally disabled"),
                  !c.finding)
            << c.name;
    }
    const CheckResults empty = resources({{"Assets.car", ""}, {"Sub/App", ""}});
    EXPECT_EQ(empty.ids(), list({"package.empty"}));
    EXPECT_EQ(empty.findings[0].evidence, "Calculated bundle size: 0 bytes");
    EXPECT_EQ(empty.findings[0].severity, FindingSeverity::blocker);
    EXPECT_EQ(empty.passedList().size(), 3);
    const CheckResults all = resources({}, ats(PlistValue(true)));
    EXPECT_EQ(all.ids(), list({"resources.icon", "privacy.ats-arbitrary", "package.empty"}));
}
