#include "inspection/checks/PrivacyManifestChecks.h"

#include "tests/inspection/checks/CheckResults.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace bw;
using namespace bw::test;

namespace {

QByteArray manifest(const QByteArray& accessedTypes) {
    return "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict>"
           "<key>NSPrivacyAccessedAPITypes</key><array>" +
           accessedTypes + "</array></dict></plist>";
}

const QByteArray userDefaults = "<dict><key>NSPrivacyAccessedAPIType</key>"
                                "<string>NSPrivacyAccessedAPICategoryUserDefaults</string></dict>";
const QByteArray declaresUserDefaults = manifest(userDefaults);
// The category is declared, but next to an entry that is no dictionary: the list is not usable.
const QByteArray mixedManifest = manifest(userDefaults + "<string>x</string>");

using Files = std::vector<std::pair<const char*, QByteArray>>;

class PrivacyManifestTest : public ::testing::Test {
protected:
    CheckResults check(const Files& files, const std::optional<QString>& executable,
                       const QString& tools = toolDirectory()) {
        app = folder.makeFolder(QStringLiteral("M%1.app").arg(++count));
        for (const auto& [path, bytes] : files) {
            folder.write(app.mid(folder.path().size() + 1) + u'/' + QString::fromUtf8(path), bytes);
        }
        CheckResults results;
        checks::inspectPrivacyManifests(tools, app, BuildScanner::bundleFiles(app), executable,
                                        results.findings, results.passed);
        return results;
    }

    TestFolder folder;
    QString app;
    int count = 0;
};

} // namespace

TEST_F(PrivacyManifestTest, ManifestsFrameworksAndPreferencesSymbols) {
    const std::optional<QString> usesDefaults = machoFixture("ios/App-arm64");
    const std::optional<QString> usesPreferences = machoFixture("macos/Tool-arm64");
    const std::optional<QString> usesNeither = machoFixture("ios/Kit.framework/Kit");
    const char* const manifest = "PrivacyInfo.xcprivacy";
    const QString parsed = "1 privacy manifest parsed";
    const QString declared = "UserDefaults required reason category declared";
    const QString invalid = "privacy.invalid-manifest";
    const QString undeclared = "privacy.user-defaults-reason";
    const struct {
        const char* name;
        Files files;
        std::optional<QString> executable;
        QStringList outcomes; // the findings raised, then the checks passed
    } cases[] = {
        {"one declaring manifest", Files{{manifest, declaresUserDefaults}}, usesDefaults,
         QStringList({parsed, declared})},
        {"declaring manifest is cut short", Files{{manifest, declaresUserDefaults.chopped(20)}},
         usesDefaults, QStringList({invalid, undeclared})},
        {"another manifest is invalid",
         Files{{manifest, "not a plist"},
               {"Frameworks/A.framework/PrivacyInfo.xcprivacy", declaresUserDefaults}},
         usesDefaults, QStringList({invalid, declared})},
        {"category list with a stray entry", Files{{manifest, mixedManifest}}, usesDefaults,
         QStringList({undeclared, parsed})},
        {"name in other case is no manifest", Files{{"privacyinfo.xcprivacy", "x"}}, usesNeither,
         QStringList()},
        {"frameworks without manifests",
         Files{{"Frameworks/A.framework/A", "x"},
               {"Frameworks/A.framework/Frameworks/N.FRAMEWORK/N", "x"}},
         usesNeither, QStringList("privacy.no-manifest")},
        {"preferences without manifest", Files(), usesPreferences, QStringList(undeclared)},
    };
    for (const auto& c : cases) {
        const CheckResults results = check(c.files, c.executable);
        EXPECT_EQ(results.ids() + results.passedList(), c.outcomes) << c.name;
    }
}

TEST_F(PrivacyManifestTest, SymbolOutputIsSearchedAsText) {
    const struct {
        const char* name;
        QByteArray nm;
        QStringList ids;
    } cases[] = {
        {"path on standard error, failing", "echo '/x/CFPreferencesKit: bad' >&2; exit 1",
         QStringList({"privacy.user-defaults-reason"})},
        {"other case", "echo '_nsuserdefaults'", {}},
        {"tool missing", "", {}},
    };
    for (const auto& c : cases) {
        const QString tools = c.nm.isEmpty() ? folder.tools({}) : folder.tools({{"nm", c.nm}});
        EXPECT_EQ(check({}, machoFixture("ios/App-arm64"), tools).ids(), c.ids) << c.name;
        QDir(tools).removeRecursively();
    }
}
