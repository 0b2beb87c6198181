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
    EXPECT_FALSE(resources({{"App", "x"}, {"thumbs.dbx", "x"}}).find("package.debris"));
    const CheckResults hidden = resources({{".git/.ds_store", "x"}});
    ASSERT_TRUE(hidden.find("package.debris"));
    EXPECT_EQ(hidden.find("package.debris")->evidence, ".ds_store");

    // At most five names in the evidence.
    std::vector<std::pair<const char*, QByteArray>> many;
    for (const char* path : {"1/Thumbs.db", "2/Thumbs.db", "3/Thumbs.db", "4/Thumbs.db",
                             "5/Thumbs.db", "6/Thumbs.db"}) {
        many.emplace_back(path, "x");
    }
    EXPECT_EQ(resources(many).find("package.debris")->evidence.count(u"Thumbs.db"), 5);
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
    EXPECT_EQ(empty.ids(), QStringList({"package.empty"}));
    EXPECT_EQ(empty.findings[0].evidence, "Calculated bundle size: 0 bytes");
    EXPECT_EQ(empty.findings[0].severity, FindingSeverity::blocker);
    EXPECT_EQ(empty.passedList().size(), 3);
    const CheckResults all = resources({}, ats(PlistValue(true)));
    EXPECT_EQ(all.ids(), QStringList({"resources.icon", "privacy.ats-arbitrary", "package.empty"}));
}
