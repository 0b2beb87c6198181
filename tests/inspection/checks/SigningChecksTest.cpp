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
    const struct {
        const char* name;
        QString output;
        bool parsed;
    } cases[] = {
        {"diagnostics before and after", "Executable=/a/App\n" + xml + "\nwarning: extra\n", true},
        {"declaration in other case", "<?XML version=\"1.0\"?><plist/>", false},
        {"broken list", "<?xml version=\"1.0\"?><plist><dict><key>a</key>", false},
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
    const QString app = folder.path() + "/Debug.app";
    ASSERT_EQ(std::system(("cp -R '" + debugApp() + "' '" + app + "'").toUtf8().constData()), 0);
    QFile assets(app + "/Assets.car");
    ASSERT_TRUE(assets.open(QIODevice::Append));
    assets.write("changed");
    assets.close();
    folder.write("Debug.app/Extra.txt", "added");
    ASSERT_TRUE(QFile::remove(app + "/PrivacyInfo.xcprivacy"));
    const SigningRun run = sign(BuildScanner(toolDirectory()), app, app);
    ASSERT_EQ(run.results.ids().first(), "signing.invalid");
    const Finding& invalid = run.results.findings[0];
    const QString kit = app + "/Frameworks/Kit.framework";
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

// What codesign says becomes findings and passed checks; the missing profile always follows.
TEST(SigningChecks, ToolOutputBecomesFindingsAndPassedChecks) {
    TestFolder folder;
    const QString app = writeIosBundle(folder, "Demo.app");
    // Verifies, and prints the entitlements after a doctype line and a diagnostic on standard
    // error, as the real tool does.
    const auto entitled = [](const QByteArray& key, const QByteArray& value) {
        const QByteArray xml(entitlementsXml);
        return "[ \"$1\" = -d ] && { echo 'Executable=x' >&2; cat <<'END'\n" +
               xml.mid(xml.indexOf("<!DOCTYPE"))
                   .replace("<key>get-task-allow</key><false/>", "<key>" + key + "</key>" + value) +
               "\nEND\n}\nexit 0";
    };
    const auto push = [&](const QByteArray& environment) {
        return entitled("aps-environment", "<string>" + environment + "</string>");
    };
    const QStringList only = {"Code signature verifies"};
    const QStringList both = only + QStringList{"Debug entitlement is disabled"};
    const QString invalid = "signing.invalid";
    const struct {
        const char* name;
        QByteArray codesign; // empty: no tool at all
        QStringList ids;
        QString evidence; // of the first finding, when checked
        QStringList passed;
    } cases[] = {
        {"no tool", "", QStringList(invalid), "codesign could not verify the application", {}},
        {"failure", "echo 'a sealed resource is missing' >&2; exit 3", QStringList(invalid),
         "a sealed resource is missing", QStringList()},
        {"unparseable entitlements", "echo 'not a list'", {}, {}, only},
        {"debug key off", entitled("get-task-allow", "<false/>"), {}, {}, both},
        {"production push", push("production"), {}, {}, both},
        {"push in other case", push("Development"), {}, {}, both},
        {"development push", push("development"), {"signing.push-development"}, {}, both},
        {"debug key as text", entitled("get-task-allow", "<string>true</string>"), {}, {}, both},
        {"legacy debug key", entitled("com.apple.security.get-task-allow", "<true/>"),
         QStringList("signing.get-task-allow"), QString(), only},
    };
    for (const auto& c : cases) {
        const QString tools =
            c.codesign.isEmpty() ? folder.tools({}) : folder.tools({{"codesign", c.codesign}});
        const SigningRun run = sign(BuildScanner(tools), app, app);
        EXPECT_EQ(run.results.ids(), c.ids + QStringList{"signing.profile-manual"}) << c.name;
        if (!c.evidence.isEmpty()) {
            EXPECT_EQ(run.results.findings[0].evidence, c.evidence) << c.name;
        }
        EXPECT_EQ(run.results.passedList(), c.passed) << c.name;
        QDir(tools).removeRecursively();
    }
}
