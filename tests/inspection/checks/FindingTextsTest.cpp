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

#include <algorithm>
#include <gtest/gtest.h>

using namespace bw;
using namespace bw::test;

// Every finding the rule checks can raise, field by field, as a reviewer reads it. The texts are
// typed here on their own, not taken from the checks, so that an edit to a check's wording
// shows up as a difference.

namespace {

struct Expected {
    const char* id;
    FindingSeverity severity;
    FindingCategory category;
    const char* guideline;
    const char* itms; // nullptr: absent
    double confidence;
    const char* title;
    const char* detail;
    const char* evidence; // nullptr: depends on this machine, only its start is compared
    const char* fix;
    std::vector<std::pair<const char*, const char*>> fields; // empty: absent
};

using S = FindingSeverity;
using C = FindingCategory;

const std::vector<Expected>& expectedFindings() {
    static const std::vector<Expected> rows = {
        // Info.plist metadata.
        {"metadata.CFBundleIdentifier",
         S::blocker,
         C::package,
         "2.1",
         nullptr,
         0.98,
         "Bundle identifier is missing",
         "The final application Info.plist does not contain a usable CFBundleIdentifier value.",
         "Info.plist: CFBundleIdentifier is absent or empty",
         "Set PRODUCT_BUNDLE_IDENTIFIER to the App Store Connect bundle ID.",
         {}},
        {"metadata.CFBundleShortVersionString",
         S::blocker,
         C::package,
         "2.1",
         nullptr,
         0.98,
         "Marketing version is missing",
         "The final application Info.plist does not contain a usable CFBundleShortVersionString "
         "value.",
         "Info.plist: CFBundleShortVersionString is absent or empty",
         "Set MARKETING_VERSION to the version you will submit.",
         {}},
        {"metadata.CFBundleVersion",
         S::blocker,
         C::package,
         "2.1",
         nullptr,
         0.98,
         "Build number is missing",
         "The final application Info.plist does not contain a usable CFBundleVersion value.",
         "Info.plist: CFBundleVersion is absent or empty",
         "Set CURRENT_PROJECT_VERSION to a valid build number.",
         {}},
        {"metadata.CFBundleExecutable",
         S::blocker,
         C::package,
         "2.1",
         nullptr,
         0.98,
         "Bundle executable is missing",
         "The final application Info.plist does not contain a usable CFBundleExecutable value.",
         "Info.plist: CFBundleExecutable is absent or empty",
         "Ensure the target generates CFBundleExecutable and rebuild the archive.",
         {}},
        {"metadata.invalid-bundle-id",
         S::blocker,
         C::package,
         "2.1",
         nullptr,
         0.98,
         "Bundle identifier is unresolved",
         "The final Info.plist contains a placeholder or whitespace in the bundle identifier.",
         "CFBundleIdentifier = com.example.$(PRODUCT_NAME)",
         "Resolve the build setting to the exact registered bundle identifier and archive again.",
         {}},
        {"metadata.version-format",
         S::risk,
         C::package,
         "2.1",
         nullptr,
         0.98,
         "Version format is unusual",
         "App Store versions normally use one to three integer components separated by periods.",
         "CFBundleShortVersionString = v2",
         "Use a version such as 1.0 or 1.0.1 and make it "
         "match App Store Connect.",
         {}},
        // Purpose strings.
        {"permission.empty.NSFaceIDUsageDescription",
         S::blocker,
         C::permissions,
         "5.1.1",
         nullptr,
         0.98,
         "Face ID purpose string is empty",
         "A protected resource is declared without a clear explanation for the user.",
         "NSFaceIDUsageDescription is empty",
         "Explain the exact feature, action, and user benefit that require face id.",
         {}},
        {"permission.vague.NSPhotoLibraryAddUsageDescription",
         S::risk,
         C::permissions,
         "5.1.1",
         nullptr,
         0.98,
         "Photo Library Additions purpose string may be too vague",
         "The text should identify the exact feature and explain how the data is used.",
         "NSPhotoLibraryAddUsageDescription = \u201CSaves photos\u201D",
         "Replace generic permission language with a concrete explanation specific to the "
         "feature.",
         {}},
        {"privacy.firebase-config",
         S::manual,
         C::privacy,
         "5.1.1",
         nullptr,
         0.9,
         "Firebase data disclosure needs a metadata comparison",
         "A Firebase configuration file is embedded. The build alone cannot prove that App "
         "Privacy answers match enabled Firebase products.",
         "GoogleService-Info.plist is embedded in the application bundle",
         "Connect App Store Connect and compare enabled Firebase products with the app\u2019s "
         "privacy labels.",
         {}},
        // Resources.
        {"resources.icon",
         S::risk,
         C::resources,
         "2.1",
         nullptr,
         0.98,
         "Application icon could not be confirmed",
         "No compiled asset catalog or explicit application icon declaration was found.",
         "No Assets.car, CFBundleIconName, CFBundleIconFile, or CFBundleIcons entry",
         "Add a complete AppIcon asset set for every supported platform and archive again.",
         {}},
        {"package.debris",
         S::risk,
         C::package,
         "2.1",
         nullptr,
         0.98,
         "Packaging debris is included",
         "The final bundle contains files that should not ship.",
         "Thumbs.db",
         "Remove generated desktop metadata and other unrelated files from Copy Bundle "
         "Resources.",
         {}},
        {"privacy.ats-arbitrary",
         S::risk,
         C::privacy,
         "5.1.1",
         nullptr,
         0.98,
         "Arbitrary network loads are enabled",
         "The application disables App Transport Security broadly instead of declaring narrow "
         "exceptions.",
         "NSAppTransportSecurity.NSAllowsArbitraryLoads = true",
         "Remove the global exception and add narrow exceptions only for domains that genuinely "
         "require them.",
         {}},
        {"package.empty",
         S::blocker,
         C::package,
         "2.1",
         nullptr,
         0.98,
         "Application bundle is empty",
         "No regular files were counted inside the selected application bundle.",
         "Calculated bundle size: 0 bytes",
         "Choose the exported archive or IPA produced by Xcode and scan again.",
         {}},
        // Signing and entitlements.
        {"signing.invalid",
         S::blocker,
         C::signing,
         "2.1",
         nullptr,
         0.98,
         "Code signature verification failed",
         "The selected application does not pass a strict deep signature verification.",
         "codesign could not verify the application",
         "Create a new archive with the correct distribution identity and resolve nested "
         "framework or extension signing errors.",
         {}},
        {"signing.get-task-allow",
         S::blocker,
         C::signing,
         "2.5.1",
         nullptr,
         0.98,
         "Debug entitlement is enabled",
         "The final signed application allows debugger attachment.",
         "get-task-allow = true",
         "Export with the App Store distribution configuration and confirm get-task-allow is "
         "absent.",
         {{"Entitlement", "get-task-allow"}, {"Detected", "true"}, {"Expected", "absent"}}},
        {"signing.push-development",
         S::blocker,
         C::signing,
         "2.1",
         nullptr,
         0.98,
         "Push entitlement uses the development environment",
         "A final App Store distribution build should not contain the development APNs "
         "environment.",
         "aps-environment = development",
         "Export with App Store distribution signing and validate the final artifact again.",
         {{"Entitlement", "aps-environment"},
          {"Detected", "development"},
          {"Expected", "production"}}},
        {"signing.archive-development",
         S::manual,
         C::signing,
         "2.1",
         nullptr,
         0.99,
         "Archive needs App Store distribution validation",
         "The application stored inside this Xcode archive uses development signing. Xcode can "
         "replace its signing and provisioning while preparing the App Store distribution, so "
         "the raw archive state alone does not prove a rejection.",
         "get-task-allow = true; aps-environment = development",
         "Run Validate App in Xcode Organizer with the App Store Connect distribution option. "
         "Resolve any validation error before upload.",
         {}},
        // Provisioning profile.
        {"signing.profile-manual",
         S::manual,
         C::signing,
         "2.1",
         nullptr,
         0.65,
         "Provisioning profile was not embedded",
         "Some distribution formats omit an embedded profile, so signing eligibility must be "
         "confirmed during upload validation.",
         "No embedded.mobileprovision or embedded.provisionprofile found",
         "Run Xcode\u2019s Validate App action or connect App Store Connect before submission.",
         {}},
        {"signing.profile-invalid",
         S::blocker,
         C::signing,
         "2.1",
         nullptr,
         0.98,
         "Provisioning profile could not be decoded",
         "The embedded provisioning profile is not readable as a signed property list.",
         "embedded.mobileprovision",
         "Regenerate the distribution profile and archive the application again.",
         {}},
        {"signing.profile-expired",
         S::blocker,
         C::signing,
         "2.1",
         nullptr,
         0.98,
         "Provisioning profile has expired",
         "The embedded profile expired before this scan.",
         nullptr,
         "Create a current App Store distribution profile and rebuild the archive.",
         {}},
        {"signing.profile-bundle-mismatch",
         S::blocker,
         C::signing,
         "2.1",
         nullptr,
         0.98,
         "Provisioning profile does not match the bundle identifier",
         "The profile application identifier does not end with the application bundle "
         "identifier.",
         "Profile: ABCDE12345.*; bundle: com.example.demo",
         "Select a distribution profile registered for the exact target bundle identifier.",
         {}},
        // Privacy manifests.
        {"privacy.invalid-manifest",
         S::blocker,
         C::privacy,
         "5.1.1",
         "ITMS-91056",
         0.98,
         "A privacy manifest is invalid",
         "App Store Connect rejects manifests that are not valid property lists with supported "
         "keys and values.",
         "Frameworks/Some.framework/PrivacyInfo.xcprivacy",
         "Open each PrivacyInfo.xcprivacy in Xcode, correct its structure, and archive again.",
         {}},
        {"privacy.no-manifest",
         S::risk,
         C::privacy,
         "5.1.1",
         nullptr,
         0.82,
         "No privacy manifest was found",
         "The build embeds frameworks but no PrivacyInfo.xcprivacy was located. Whether one is "
         "required depends on used APIs and SDKs.",
         "2 embedded framework directories; 0 privacy manifests",
         "Generate Xcode\u2019s privacy report, review required reason APIs, and add valid app "
         "or SDK manifests where required.",
         {}},
        {"privacy.user-defaults-reason",
         S::risk,
         C::privacy,
         "5.1.1",
         "ITMS-91053",
         0.76,
         "UserDefaults usage needs a required reason review",
         "Static symbols indicate preferences APIs, but no matching accessed API category was "
         "found in parsed manifests.",
         "Binary symbols reference NSUserDefaults/CFPreferences; manifest category absent",
         "Confirm the API usage in Xcode\u2019s privacy report and declare a reason approved by "
         "Apple when required.",
         {}},
        // Binary.
        {"binary.missing",
         S::blocker,
         C::binary,
         "2.1",
         nullptr,
         0.98,
         "Application executable was not found",
         "CFBundleExecutable did not resolve to an executable file in the final bundle.",
         "No executable at the expected bundle location",
         "Repair the target\u2019s product and Copy Files settings, then create a new archive.",
         {}},
        {"binary.architectures",
         S::blocker,
         C::binary,
         "2.5.1",
         nullptr,
         0.98,
         "Binary architecture could not be read",
         "The main executable is not recognized as a valid Mach O binary by lipo.",
         "Demo",
         "Archive with a supported Apple platform destination and inspect the generated "
         "executable.",
         {}},
        {"binary.simulator-architecture",
         S::risk,
         C::binary,
         "2.5.1",
         nullptr,
         0.98,
         "Simulator architecture is present",
         "A submission artifact normally contains device architectures only.",
         "Architectures: x86_64, arm64",
         "Archive for Any iOS Device or the matching generic device destination, not a "
         "simulator.",
         {}},
        {"binary.debug-artifacts",
         S::blocker,
         C::binary,
         "2.1",
         nullptr,
         0.98,
         "Debug binary artifacts are embedded",
         "The final application contains preview or debug dynamic libraries.",
         "__preview.dylib, Demo.debug.dylib",
         "Create a Release archive and make sure preview/debug support files are excluded from "
         "the exported application.",
         {}},
        {"binary.local-link",
         S::blocker,
         C::binary,
         "2.1",
         nullptr,
         0.98,
         "Binary links to a local development path",
         "A linked library path points outside the application or system frameworks.",
         "\t/opt/homebrew/lib/libfoo.1.dylib (compatibility version 1.0.0, current version "
         "1.2.0)",
         "Embed and sign the dependency, then link it using an @rpath install name.",
         {}},
        // Platform requirements.
        {"platform.mac-sandbox",
         S::blocker,
         C::signing,
         "2.5.1",
         nullptr,
         0.98,
         "Mac App Sandbox entitlement is missing",
         "Mac App Store submissions must use App Sandbox.",
         "com.apple.security.app-sandbox is absent or false",
         "Enable App Sandbox for the App Store target, grant only required capabilities, and "
         "archive again.",
         {}},
        {"metadata.export-compliance",
         S::manual,
         C::metadata,
         "2.1",
         nullptr,
         0.98,
         "Export compliance answer is not embedded",
         "The build does not state whether it uses encryption that is not exempt. This is not "
         "always an error, but App Store Connect will require an answer.",
         "ITSAppUsesNonExemptEncryption is absent",
         "Determine the app\u2019s encryption usage and set the key when appropriate, then "
         "ensure App Store Connect answers match.",
         {}},
        // Review risks.
        {"payments.paywall-review",
         S::manual,
         C::payments,
         "3.1.2",
         nullptr,
         0.98,
         "Build uses purchase technology; paywall evidence is separate",
         "This build signal comes from linked purchase technology, not from screenshot "
         "analysis. Static inspection cannot prove visible pricing, renewal language, Restore, "
         "Terms, Privacy, or successful transactions.",
         "Build inspection found StoreKit or an embedded purchase SDK",
         "Attach the actual Paywall and Restore screens for semantic review, then manually test "
         "purchase, cancellation, restore, and entitlement recovery.",
         {}},
        {"metadata.asc-cross-check",
         S::manual,
         C::metadata,
         "2.3",
         nullptr,
         0.98,
         "App Store Connect metadata requires a comparison",
         "A build cannot contain the complete store listing, screenshots, age rating, review "
         "notes, product states, or privacy label answers.",
         "Build scan",
         "Connect an App Store Connect API key with read access to compare the submission "
         "record with this build.",
         {}},
        {"manual.runtime-completeness",
         S::manual,
         C::manual,
         "2.1",
         nullptr,
         0.98,
         "Runtime completeness still requires a human pass",
         "Static analysis cannot prove backend availability, demo credentials, account "
         "deletion, moderation behavior, hardware access, or every user flow.",
         "Static build inspection boundary",
         "Complete the generated reviewer readiness checklist on a release build before "
         "submission.",
         {}},
    };
    return rows;
}

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
        {folder.path() + QStringLiteral("/App.app/GoogleService-Info.plist")}, findings, passed);

    const QString empty = folder.makeFolder(QStringLiteral("Empty.app"));
    folder.write(QStringLiteral("Empty.app/Sub/Thumbs.db"), "");
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
    const BuildScanner scanner(tools);
    const PlistDictionary info = iosInfo();
    const QString plainApp = writeIosBundle(folder, QStringLiteral("Unsigned.app"));
    checks::inspectSigning(scanner.toolDirectory(), plainApp, plainApp, info, findings, passed);
    const QString archived =
        writeIosBundle(folder, QStringLiteral("Dev.xcarchive/Products/Applications/Demo.app"));
    folder.write(QStringLiteral("Dev.xcarchive/Products/Applications/Demo.app/"
                                "embedded.mobileprovision"),
                 "profile");
    checks::inspectSigning(scanner.toolDirectory(),
                           folder.path() + QStringLiteral("/Dev.xcarchive"), archived, info,
                           findings, passed);
    folder.write(QStringLiteral("Broken.app/embedded.mobileprovision"), "profile");
    checks::inspectProvisioningProfile(folder.tools({{"security", "exit 1"}}),
                                       folder.path() + QStringLiteral("/Broken.app"), info,
                                       findings, passed);

    const QString manifests = folder.makeFolder(QStringLiteral("Manifests.app"));
    folder.write(QStringLiteral("Manifests.app/Frameworks/Some.framework/PrivacyInfo.xcprivacy"),
                 "not a property list");
    checks::inspectPrivacyManifests(scanner.toolDirectory(), manifests,
                                    BuildScanner::bundleFiles(manifests),
                                    manifests + QStringLiteral("/Demo"), findings, passed);
    const QString frameworks = folder.makeFolder(QStringLiteral("Frameworks.app"));
    folder.makeFolder(QStringLiteral("Frameworks.app/Frameworks/A.framework"));
    folder.makeFolder(QStringLiteral("Frameworks.app/Frameworks/B.framework"));
    checks::inspectPrivacyManifests(scanner.toolDirectory(), frameworks,
                                    BuildScanner::bundleFiles(frameworks), std::nullopt, findings,
                                    passed);

    checks::inspectBinary(info, {}, std::nullopt, {}, {}, {}, findings, passed);
    const QString executable = folder.path() + QStringLiteral("/Unsigned.app/Demo");
    checks::inspectBinary(info, {}, executable, {}, {}, {}, findings, passed);
    checks::inspectBinary(
        info, {}, executable, {QStringLiteral("x86_64"), QStringLiteral("arm64")},
        QStringLiteral("/x/Demo:\n"
                       "\t/usr/lib/libSystem.B.dylib (compatibility version 1.0.0)\n"
                       "\t/opt/homebrew/lib/libfoo.1.dylib (compatibility version 1.0.0, current "
                       "version 1.2.0)"),
        {QStringLiteral("/x/Frameworks/__preview.dylib"), QStringLiteral("/x/Demo.debug.dylib")},
        findings, passed);

    checks::inspectPlatformRequirements(dictionary({{"LSMinimumSystemVersion", text("13.0")}}), {},
                                        {}, findings, passed);
    checks::inspectReviewRisks(QStringLiteral("\t/System/Library/Frameworks/StoreKit"), {},
                               findings);
    return findings;
}

} // namespace

TEST(FindingTexts, EveryFindingOfTheRuleChecks) {
    TestFolder folder;
    const Findings findings = everyFinding(folder);
    for (const Expected& row : expectedFindings()) {
        SCOPED_TRACE(row.id);
        const auto actual = std::find_if(findings.begin(), findings.end(),
                                         [&](const Finding& f) { return f.id == row.id; });
        ASSERT_NE(actual, findings.end());
        EXPECT_EQ(actual->severity, row.severity);
        EXPECT_EQ(actual->category, row.category);
        EXPECT_EQ(actual->guideline, QString::fromUtf8(row.guideline));
        EXPECT_EQ(actual->itms,
                  row.itms ? std::optional<QString>(QString::fromUtf8(row.itms)) : std::nullopt);
        EXPECT_EQ(actual->confidence, row.confidence);
        EXPECT_EQ(actual->title, QString::fromUtf8(row.title));
        EXPECT_EQ(actual->detail, QString::fromUtf8(row.detail));
        if (row.evidence) {
            EXPECT_EQ(actual->evidence, QString::fromUtf8(row.evidence));
        } else {
            // The date is written in the user's locale and time zone.
            EXPECT_TRUE(actual->evidence.startsWith(u"ExpirationDate = ") &&
                        actual->evidence.contains(u"2001"))
                << actual->evidence.toStdString();
        }
        EXPECT_EQ(actual->fix, QString::fromUtf8(row.fix));
        if (row.fields.empty()) {
            EXPECT_FALSE(actual->evidenceFields);
        } else {
            std::vector<FindingEvidenceField> fields;
            for (const auto& [label, value] : row.fields) {
                fields.push_back({QString::fromUtf8(label), QString::fromUtf8(value)});
            }
            EXPECT_EQ(actual->evidenceFields, fields);
        }
        EXPECT_EQ(actual->source, EvidenceSource::build);
        EXPECT_FALSE(actual->resolution);
    }
    // Every finding raised has its row above.
    for (const Finding& finding : findings) {
        EXPECT_TRUE(std::any_of(expectedFindings().begin(), expectedFindings().end(),
                                [&](const Expected& row) { return finding.id == row.id; }))
            << finding.id.toStdString();
    }
}
