#include "inspection/checks/PlatformChecks.h"

#include "inspection/checks/ReviewRiskChecks.h"
#include "tests/inspection/checks/CheckResults.h"

#include <gtest/gtest.h>

using namespace bw;
using namespace bw::test;

namespace {

CheckResults platform(const PlistDictionary& info, const PlistDictionary& entitlements = {}) {
    CheckResults results;
    checks::inspectPlatformRequirements(info, QStringLiteral("/b/App.app"), entitlements,
                                        results.findings, results.passed);
    return results;
}

QStringList reviewRisks(const QString& libraries, const std::vector<QString>& files = {}) {
    CheckResults results;
    checks::inspectReviewRisks(libraries, files, results.findings);
    return results.ids();
}

} // namespace

TEST(PlatformChecks, SandboxAndExportCompliance) {
    const PlistDictionary answered =
        dictionary({{"ITSAppUsesNonExemptEncryption", PlistValue(false)}});
    const auto mac = [](const char* platform) {
        return dictionary({{"DTPlatformName", text(platform)},
                           {"ITSAppUsesNonExemptEncryption", PlistValue(true)}});
    };
    const PlistDictionary sandboxed =
        dictionary({{"com.apple.security.app-sandbox", PlistValue(true)}});
    const struct {
        const char* name;
        PlistDictionary info;
        PlistDictionary entitlements;
        QStringList ids;
        QStringList passed;
    } cases[] = {
        {"iOS, answered", answered, {}, {}, {}},
        {"iOS, unanswered", iosInfo(), {}, list({"metadata.export-compliance"}), {}},
        {"Mac sandboxed",
         mac("MacOSX"),
         sandboxed,
         {},
         list({"Mac App Sandbox entitlement enabled"})},
        {"Mac without sandbox", mac("macosx"), {}, list({"platform.mac-sandbox"}), {}},
        {"sandbox as text",
         mac("macosx"),
         dictionary({{"com.apple.security.app-sandbox", text("true")}}),
         list({"platform.mac-sandbox"}),
         {}},
        {"iOS with a minimum macOS version",
         dictionary({{"DTPlatformName", text("iphoneos")}, {"LSMinimumSystemVersion", number(12)}}),
         {},
         list({"platform.mac-sandbox", "metadata.export-compliance"}),
         {}},
        {"other platform", mac("appletvos"), {}, {}, {}},
    };
    for (const auto& c : cases) {
        const CheckResults results = platform(c.info, c.entitlements);
        EXPECT_EQ(results.ids(), c.ids) << c.name;
        EXPECT_EQ(results.passedList(), c.passed) << c.name;
    }
    const CheckResults unsandboxed = platform(mac("macosx"));
    EXPECT_EQ(unsandboxed.findings.at(0).category, FindingCategory::signing);
    EXPECT_EQ(unsandboxed.findings[0].evidence,
              "com.apple.security.app-sandbox is absent or false");
    const Finding compliance = platform({}).findings.at(0);
    EXPECT_EQ(compliance.severity, FindingSeverity::manual);
    EXPECT_EQ(compliance.category, FindingCategory::metadata);
    EXPECT_EQ(compliance.evidence, "ITSAppUsesNonExemptEncryption is absent");
}

TEST(ReviewRiskChecks, PurchaseSignalsAndTheTwoManualFindings) {
    const QStringList always = list({"metadata.asc-cross-check", "manual.runtime-completeness"});
    const QStringList paywall = list(
        {"payments.paywall-review", "metadata.asc-cross-check", "manual.runtime-completeness"});
    const struct {
        const char* name;
        QString libraries;
        std::vector<QString> files;
        QStringList ids;
    } cases[] = {
        {"nothing", QStringLiteral("\t/usr/lib/libSystem.B.dylib"), {}, always},
        {"linked StoreKit",
         QStringLiteral("\t/System/Library/Frameworks/StoreKit.framework/StoreKit"),
         {},
         paywall},
        {"other letter case", QStringLiteral("\t/x/storekit.dylib"), {}, paywall},
        {"wrapper framework",
         {},
         {QStringLiteral("/b/A.app/Frameworks/StoreKitWrapper.framework")},
         paywall},
        {"purchase SDK", {}, {QStringLiteral("/b/A.app/Frameworks/RevenueCat.framework")}, paywall},
        {"folder above the bundle", {}, {QStringLiteral("/storekit/A.app/App")}, always},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(reviewRisks(c.libraries, c.files), c.ids) << c.name;
    }
    CheckResults results;
    checks::inspectReviewRisks(QStringLiteral("StoreKit"), {}, results.findings);
    ASSERT_EQ(results.findings.size(), 3u);
    EXPECT_EQ(results.findings[0].guideline, "3.1.2");
    EXPECT_EQ(results.findings[0].category, FindingCategory::payments);
    EXPECT_EQ(results.findings[1].guideline, "2.3");
    EXPECT_EQ(results.findings[1].evidence, "Build scan");
    EXPECT_EQ(results.findings[2].category, FindingCategory::manual);
    EXPECT_EQ(results.findings[2].evidence, "Static build inspection boundary");
}
