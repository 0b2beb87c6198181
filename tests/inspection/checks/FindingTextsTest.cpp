#include "inspection/checks/BinaryChecks.h"
#include "inspection/checks/MetadataChecks.h"
#include "inspection/checks/PlatformChecks.h"
#include "inspection/checks/PrivacyManifestChecks.h"
#include "inspection/checks/ProvisioningProfileChecks.h"
#include "inspection/checks/PurposeStringChecks.h"
#include "inspection/checks/ResourceChecks.h"
#include "inspection/checks/ReviewRiskChecks.h"
#include "inspection/checks/SigningChecks.h"
#include "tests/inspection/checks/CheckResults.h"

#include <gtest/gtest.h>

using namespace bw;
using namespace bw::test;

// Every finding the rule checks can raise, each once, checked for what can really be wrong with
// it rather than for its wording.

namespace {

const QByteArray debugEntitlements =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict>"
    "<key>get-task-allow</key><true/>"
    "<key>aps-environment</key><string>development</string></dict></plist>";

const QByteArray expiredWildcardProfile =
    "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict>"
    "<key>ExpirationDate</key><date>2001-02-03T04:05:06Z</date>"
    "<key>Entitlements</key><dict><key>application-identifier</key><string>ABCDE12345.*</string>"
    "</dict></dict></plist>";

// Runs every rule check on inputs that raise each of its findings once and gathers them all.
Findings everyFinding(TestFolder& folder) {
    Findings findings;
    PassedChecks passed;

    checks::inspectMetadata({}, findings, passed);
    checks::inspectMetadata(dictionary({{"CFBundleIdentifier", text("com.example.$(PRODUCT_NAME)")},
                                        {"CFBundleShortVersionString", text("v2")},
                                        {"CFBundleVersion", text("1")},
                                        {"CFBundleExecutable", text("Demo")}}),
                            findings, passed);

    checks::inspectPurposeStrings(
        dictionary({{"NSFaceIDUsageDescription", text(" \n")},
                    {"NSPhotoLibraryAddUsageDescription", text("  Saves photos\n")}}),
        {folder.path() + "/App.app/GoogleService-Info.plist"}, findings, passed);

    const QString empty = folder.makeFolder("Empty.app");
    folder.write("Empty.app/Sub/Thumbs.db", "");
    checks::inspectResources(
        dictionary({{"NSAppTransportSecurity",
                     dictionaryValue({{"NSAllowsArbitraryLoads", PlistValue(true)}})}}),
        empty, BuildScanner::bundleFiles(empty), BuildScanner::bundleSize(empty), findings, passed);

    const QString tools = folder.tools({
        {"codesign", "[ \"$1\" = -d ] && cat <<'END'\n" + debugEntitlements +
                         "\nEND\n"
                         "[ \"$1\" = --verify ] && exit 1\nexit 0"},
        {"security", "cat <<'END'\n" + expiredWildcardProfile + "\nEND"},
        {"nm", "echo '                 U _OBJC_CLASS_$_NSUserDefaults'"},
    });
    const PlistDictionary info = iosInfo();
    const QString plainApp = writeIosBundle(folder, "Unsigned.app");
    checks::inspectSigning(tools, plainApp, plainApp, info, findings, passed);
    const QString archived = writeIosBundle(folder, "Dev.xcarchive/Products/Applications/Demo.app");
    folder.write("Dev.xcarchive/Products/Applications/Demo.app/embedded.mobileprovision",
                 "profile");
    checks::inspectSigning(tools, folder.path() + "/Dev.xcarchive", archived, info, findings,
                           passed);
    folder.write("Broken.app/embedded.mobileprovision", "profile");
    checks::inspectProvisioningProfile(folder.tools({{"security", "exit 1"}}),
                                       folder.path() + "/Broken.app", info, findings, passed);

    const QString manifests = folder.makeFolder("Manifests.app");
    folder.write("Manifests.app/Frameworks/Some.framework/PrivacyInfo.xcprivacy",
                 "not a property list");
    checks::inspectPrivacyManifests(tools, manifests, BuildScanner::bundleFiles(manifests),
                                    manifests + "/Demo", findings, passed);
    const QString frameworks = folder.makeFolder("Frameworks.app");
    folder.makeFolder("Frameworks.app/Frameworks/A.framework");
    folder.makeFolder("Frameworks.app/Frameworks/B.framework");
    checks::inspectPrivacyManifests(tools, frameworks, BuildScanner::bundleFiles(frameworks),
                                    std::nullopt, findings, passed);

    checks::inspectBinary(info, {}, std::nullopt, {}, {}, {}, findings, passed);
    const QString executable = folder.path() + "/Unsigned.app/Demo";
    checks::inspectBinary(info, {}, executable, {}, {}, {}, findings, passed);
    checks::inspectBinary(
        info, {}, executable, {"x86_64", "arm64"},
        QStringLiteral("/x/Demo:\n"
                       "\t/usr/lib/libSystem.B.dylib (compatibility version 1.0.0)\n"
                       "\t/opt/homebrew/lib/libfoo.1.dylib (compatibility version 1.0.0, current "
                       "version 1.2.0)"),
        {"/x/Frameworks/__preview.dylib", "/x/Demo.debug.dylib"}, findings, passed);

    checks::inspectPlatformRequirements(dictionary({{"LSMinimumSystemVersion", text("13.0")}}), {},
                                        {}, findings, passed);
    checks::inspectReviewRisks("\t/System/Library/Frameworks/StoreKit", {}, findings);
    return findings;
}

} // namespace

TEST(FindingTexts, EveryRuleIsRaisedAndSound) {
    TestFolder folder;
    // Several runs of one check raise its rule more than once; each rule is judged once.
    Findings firstOfEach;
    QStringList ids;
    for (const Finding& finding : everyFinding(folder)) {
        EXPECT_FALSE(finding.resolution) << finding.id.toStdString();
        if (!ids.contains(finding.id)) {
            ids.push_back(finding.id);
            firstOfEach.push_back(finding);
        }
    }
    // Each of the 34 rules once: one fewer is a rule the checks can no longer raise.
    EXPECT_EQ(ids.size(), 34);
    expectSoundFindings(firstOfEach, EvidenceSource::build);
}
