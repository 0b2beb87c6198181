#include "inspection/BuildScanner.h"
#include "tests/inspection/checks/CheckResults.h"

#include <gtest/gtest.h>

using namespace bw;
using namespace bw::test;

namespace {

// The whole report of a fixture build, apart from its id, time and paths.
struct ExpectedReport {
    const char* artifact;
    Verdict verdict;
    QStringList findings;
    std::size_t passed;     // how many checks passed; their wording is the checks' own
    BuildMetadata metadata; // bundleSize: only whether it is above zero; iconPNG not compared
};

BuildMetadata metadata(BuildIdentity identity, std::vector<QString> architectures,
                       std::vector<QString> sdkNames) {
    return {std::move(identity), std::move(architectures), std::move(sdkNames), 1, std::nullopt};
}

BuildMetadata iosMetadata(const char* name, const char* version) {
    return metadata({name, "com.example.berthwatch", version, "87", "iOS", "15.0"}, {"arm64"},
                    {"Kit"});
}

BuildMetadata macMetadata(const char* name) {
    return metadata({name, "com.example.berthwatch.mac", "2.0", "200", "macOS", "12.0"},
                    {"x86_64", "arm64"}, {});
}

} // namespace

TEST(FixtureBuildScan, WholeReportsOfEveryFixtureBuild) {
    const QStringList debugRisks = QStringList(
        {"package.debris", "permission.vague.NSMicrophoneUsageDescription", "privacy.ats-arbitrary",
         "manual.runtime-completeness", "metadata.asc-cross-check", "metadata.export-compliance",
         "payments.paywall-review"});
    const ExpectedReport cases[] = {
        {"Clean.ipa", Verdict::noConfirmedBlockers,
         QStringList({"manual.runtime-completeness", "metadata.asc-cross-check",
                      "payments.paywall-review"}),
         17, iosMetadata("Clean", "1.4.2")},
        {"Debug.ipa", Verdict::needsAttention,
         QStringList({"signing.get-task-allow", "signing.push-development"}) + debugRisks, 13,
         iosMetadata("Debug", "1.5")},
        // Development signing inside an archive is left to App Store validation.
        {"Debug.xcarchive", Verdict::noConfirmedBlockers,
         debugRisks + QStringList({"signing.archive-development"}), 13,
         iosMetadata("Debug", "1.5")},
        {"Validated.xcarchive", Verdict::noConfirmedBlockers, debugRisks, 14,
         iosMetadata("Debug", "1.5")},
        // Universal: x86_64 is no simulator slice on a Mac.
        {"Sandboxed.app", Verdict::noConfirmedBlockers,
         QStringList({"manual.runtime-completeness", "metadata.asc-cross-check"}), 18,
         macMetadata("Sandboxed")},
        {"Unsandboxed.app", Verdict::needsAttention,
         QStringList({"signing.get-task-allow", "platform.mac-sandbox",
                      "manual.runtime-completeness", "metadata.asc-cross-check"}),
         16, macMetadata("Unsandboxed")},
        // The layout makes it a macOS build: no simulator slice, and the sandbox rule runs.
        {"Bare.app", Verdict::needsAttention,
         QStringList({"platform.mac-sandbox", "privacy.user-defaults-reason", "resources.icon",
                      "manual.runtime-completeness", "metadata.asc-cross-check",
                      "signing.profile-manual"}),
         12,
         metadata({"Bare", "com.example.bare", "1.0", "1", "macOS", "Unavailable"}, {"x86_64"},
                  {})},
        {"Messy.app", Verdict::needsAttention,
         QStringList({"binary.local-link", "binary.debug-artifacts", "metadata.invalid-bundle-id",
                      "permission.empty.NSCameraUsageDescription", "privacy.invalid-manifest",
                      "binary.simulator-architecture", "package.debris", "metadata.version-format",
                      "privacy.user-defaults-reason", "resources.icon",
                      "manual.runtime-completeness", "metadata.asc-cross-check",
                      "metadata.export-compliance", "payments.paywall-review",
                      "privacy.firebase-config", "signing.profile-manual"}),
         9,
         metadata({"Messy", "com.example.$(PRODUCT_NAME)", "1.0 beta", "87", "iOS", "15.0"},
                  {"x86_64", "arm64"}, {"Kit"})},
    };
    const BuildScanner scanner(toolDirectory());
    for (const ExpectedReport& expected : cases) {
        const QString artifact = buildFixture(expected.artifact);
        const ScanReport report = scanner.scan(artifact, [](const QString&, double) {});
        EXPECT_EQ((CheckResults{report.findings, {}}.ids()), expected.findings)
            << expected.artifact;
        EXPECT_EQ(report.passedChecks.size(), expected.passed) << expected.artifact;
        EXPECT_EQ(report.verdict, expected.verdict) << expected.artifact;
        BuildMetadata metadata = report.metadata;
        EXPECT_GT(metadata.bundleSize, 0) << expected.artifact;
        metadata.bundleSize = 1;
        metadata.iconPNG.reset();
        EXPECT_EQ(metadata, expected.metadata) << expected.artifact;
    }
}
