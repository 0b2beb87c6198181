#include "inspection/checks/ReviewRiskChecks.h"

#include "inspection/checks/BuildFinding.h"
#include "platform/fs/FileStatus.h"

#include <QLocale>
#include <algorithm>

namespace bw::checks {

namespace {

constexpr FindingRule paywallReview{
    "payments.paywall-review",
    FindingSeverity::manual,
    FindingCategory::payments,
    "3.1.2",
    0.98,
    "Build uses purchase technology; paywall evidence is separate",
    "This build signal comes from linked purchase technology, not from screenshot analysis. "
    "Static inspection cannot prove visible pricing, renewal language, Restore, Terms, Privacy, "
    "or successful transactions.",
    "Attach the actual Paywall and Restore screens for semantic review, then manually test "
    "purchase, cancellation, restore, and entitlement recovery."};

constexpr FindingRule storeComparison{
    "metadata.asc-cross-check",
    FindingSeverity::manual,
    FindingCategory::metadata,
    "2.3",
    0.98,
    "App Store Connect metadata requires a comparison",
    "A build cannot contain the complete store listing, screenshots, age rating, review notes, "
    "product states, or privacy label answers.",
    "Connect an App Store Connect API key with read access to compare the submission record with "
    "this build."};

constexpr FindingRule runtimeCompleteness{
    "manual.runtime-completeness",
    FindingSeverity::manual,
    FindingCategory::manual,
    "2.1",
    0.98,
    "Runtime completeness still requires a human pass",
    "Static analysis cannot prove backend availability, demo credentials, account deletion, "
    "moderation behavior, hardware access, or every user flow.",
    "Complete the generated reviewer readiness checklist on a release build before submission."};

// Item names that reveal purchase code: Apple's framework, and RevenueCat, the most widely
// embedded in-app purchase SDK.
constexpr const char* purchaseMarkers[] = {"storekit", "revenuecat"};

bool usesPurchaseTechnology(const QString& linkedLibraries, const std::vector<QString>& files) {
    const QLocale locale;
    if (locale.toLower(linkedLibraries).contains(locale.toLower(QStringLiteral("StoreKit")))) {
        return true;
    }
    return std::any_of(files.begin(), files.end(), [](const QString& item) {
        const QString name = fs::lastPathComponent(item).toLower();
        return std::any_of(
            std::begin(purchaseMarkers), std::end(purchaseMarkers),
            [&](const char* marker) { return name.contains(QLatin1String(marker)); });
    });
}

} // namespace

void inspectReviewRisks(const QString& linkedLibraries, const std::vector<QString>& files,
                        Findings& findings) {
    if (usesPurchaseTechnology(linkedLibraries, files)) {
        findings.push_back(buildFinding(
            paywallReview,
            QStringLiteral("Build inspection found StoreKit or an embedded purchase SDK")));
    }
    findings.push_back(buildFinding(storeComparison, QStringLiteral("Build scan")));
    findings.push_back(
        buildFinding(runtimeCompleteness, QStringLiteral("Static build inspection boundary")));
}

} // namespace bw::checks
