#include "inspection/checks/SigningChecks.h"

#include "inspection/checks/PropertyListOutput.h"
#include "tests/inspection/checks/CheckResults.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace bw;
using namespace bw::test;

namespace {

const char* entitlementsXml = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0"><dict><key>get-task-allow</key><false/></dict></plist>)";

QString debugApp() {
    return buildFixture("Debug.xcarchive/Products/Applications/Debug.app");
}

struct SigningRun {
    CheckResults results;
    PlistDictionary entitlements;
};

SigningRun sign(const BuildScanner& scanner, const QString& artifact, const QString& app) {
    SigningRun run;
    run.entitlements = checks::inspectSigning(scanner.toolDirectory(), artifact, app,
                                              BuildScanner::readInfoPlist(app),
                                              run.results.findings, run.results.passed);
    return run;
}

} // namespace

TEST(PropertyListOutput, CutsTheListOutOfToolOutput) {
    const QString xml = QString::fromUtf8(entitlementsXml);
    const QString doctypeOnly = xml.mid(xml.indexOf(QStringLiteral("<!DOCTYPE")));
    const struct {
        const char* name;
        QString output;
        bool parsed;
    } cases[] = {
        {"diagnostics before and after", "Executable=/a/App\n" + xml + "\nwarning: extra\n", true},
        {"doctype without declaration", "Executable=/a/App\n" + doctypeOnly, true},
        {"no list", QStringLiteral("Executable=/a/App"), false},
        {"declaration in other case", QStringLiteral("<?XML version=\"1.0\"?><plist/>"), false},
        {"broken list", QStringLiteral("<?xml version=\"1.0\"?><plist><dict><key>a</key>"), false},
    };
    for (const auto& c : cases) {
        const auto result = checks::propertyList(c.output);
        EXPECT_EQ(result.has_value(), c.parsed) << c.name;
        if (c.parsed && result) {
            EXPECT_EQ(result->find(u"get-task-allow")->boolean(), false) << c.name;
        }
    }
}

// The evidence is what Apple's tool prints: the nested code it went through, the reason, and
// every changed file, with nothing about what it could not evaluate.
TEST(SigningChecks, TamperedBundleFailsWithTheToolsOutput) {
    TestFolder folder;
    const QString app = folder.path() + QStringLiteral("/Debug.app");
    ASSERT_EQ(std::system(("cp -R '" + debugApp() + "' '" + app + "'").toUtf8().constData()), 0);
    QFile assets(app + QStringLiteral("/Assets.car"));
    ASSERT_TRUE(assets.open(QIODevice::Append));
    assets.write("changed");
    assets.close();
    folder.write(QStringLiteral("Debug.app/Extra.txt"), "added");
    ASSERT_TRUE(QFile::remove(app + QStringLiteral("/PrivacyInfo.xcprivacy")));
    const SigningRun run = sign(BuildScanner(toolDirectory()), app, app);
    ASSERT_EQ(run.results.ids().first(), "signing.invalid");
    const Finding& invalid = run.results.findings[0];
    const QString kit = app + QStringLiteral("/Frameworks/Kit.framework");
    EXPECT_EQ(
        invalid.evidence.trimmed(),
        QStringList({"--prepared:" + kit, "--validated:" + kit,
                     app + ": a sealed resource is missing or invalid",
                     "file added: " + app + "/Extra.txt", "file modified: " + app + "/Assets.car",
                     "file missing: " + app + "/PrivacyInfo.xcprivacy"})
            .join(u'\n'));
    EXPECT_EQ(invalid.severity, FindingSeverity::blocker);
    // The entitlements are still read from the signature.
    EXPECT_EQ(*run.entitlements.find(u"aps-environment")->string(), "development");
}

TEST(SigningChecks, ToolFailuresBecomeFindingsOrNothing) {
    TestFolder folder;
    const QString app = writeIosBundle(folder, QStringLiteral("Demo.app"));
    const QByteArray printsEntitlements =
        QByteArray("[ \"$1\" = -d ] && { echo 'Executable=x' >&2; cat <<'END'\n") +
        QByteArray(entitlementsXml).mid(QByteArray(entitlementsXml).indexOf("<!DOCTYPE")) +
        "\nEND\nexit 0; }\n";
    const struct {
        const char* name;
        std::map<QString, QByteArray> tools;
        QString evidence; // of signing.invalid; empty when the signature verifies
        QStringList passed;
    } cases[] = {
        {"no tool at all", {}, "codesign could not verify the application", {}},
        {"failure with output",
         {{"codesign", "echo 'a sealed resource is missing' >&2; exit 3"}},
         "a sealed resource is missing",
         {}},
        {"entitlements after a doctype line",
         {{"codesign", printsEntitlements + "exit 0"}},
         {},
         list({"Code signature verifies", "Debug entitlement is disabled"})},
        {"unparseable entitlements",
         {{"codesign", "echo 'not a list'"}},
         {},
         list({"Code signature verifies"})},
    };
    for (const auto& c : cases) {
        const QString tools = folder.tools(c.tools);
        const SigningRun run = sign(BuildScanner(tools), app, app);
        QStringList expected;
        if (!c.evidence.isEmpty()) {
            expected.push_back("signing.invalid");
        }
        expected.push_back("signing.profile-manual");
        EXPECT_EQ(run.results.ids(), expected) << c.name;
        if (!c.evidence.isEmpty()) {
            EXPECT_EQ(run.results.findings[0].evidence, c.evidence) << c.name;
        }
        EXPECT_EQ(run.results.passedList(), c.passed) << c.name;
        QDir(tools).removeRecursively();
    }
}

TEST(SigningChecks, EntitlementFlagsOfAnApp) {
    TestFolder folder;
    const QString app = writeIosBundle(folder, QStringLiteral("Demo.app"));
    const struct {
        const char* name;
        const char* entries; // inside the entitlements dictionary
        QStringList ids;
    } cases[] = {
        {"production push", "<key>aps-environment</key><string>production</string>", {}},
        {"push in other case", "<key>aps-environment</key><string>Development</string>", {}},
        {"development push", "<key>aps-environment</key><string>development</string>",
         list({"signing.push-development"})},
        {"debug key as text", "<key>get-task-allow</key><string>true</string>", {}},
        {"legacy debug key", "<key>com.apple.security.get-task-allow</key><true/>",
         list({"signing.get-task-allow"})},
    };
    for (const auto& c : cases) {
        const QByteArray entitlements =
            QByteArray("<?xml version=\"1.0\"?><plist version=\"1.0\"><dict>") + c.entries +
            "</dict></plist>";
        const QString tools = folder.tools(
            {{"codesign", "[ \"$1\" = -d ] && cat <<'END'\n" + entitlements + "\nEND\nexit 0"}});
        const SigningRun run = sign(BuildScanner(tools), app, app);
        QStringList expected = c.ids;
        expected.push_back("signing.profile-manual");
        EXPECT_EQ(run.results.ids(), expected) << c.name;
        EXPECT_EQ(run.results.passedList().contains("Debug entitlement is disabled"),
                  !c.ids.contains("signing.get-task-allow"))
            << c.name;
        QDir(tools).removeRecursively();
    }
}
