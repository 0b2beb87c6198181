#include "app/ServiceFailures.h"

#include "app/ErrorDescription.h"
#include "model/ReportHelpers.h"
#include "platform/http/TransportError.h"
#include "services/appstoreconnect/AppStoreConnectError.h"

#include <QFileInfo>

namespace bw {

using namespace Qt::Literals::StringLiterals;

namespace {

// Which rule a failed service's finding belongs to.
struct ServiceRule {
    QString id;
    FindingCategory category;
    QString guideline;
};

const ServiceRule ascConnection{u"asc.connection.unavailable"_s, FindingCategory::metadata,
                                u"2.3"_s};
const ServiceRule screenshotReview{u"screenshot.ai.unavailable"_s, FindingCategory::screenshots,
                                   u"2.3.3"_s};
const ServiceRule guidedSolutions{u"build.ai.unavailable"_s, FindingCategory::manual, u"2.1"_s};

Finding unavailableFinding(const ServiceRule& rule, QString title, QString detail, QString evidence,
                           QString fix, EvidenceSource source) {
    return plainFinding(rule.id, FindingSeverity::manual, rule.category, rule.guideline,
                        std::move(title), std::move(detail), std::move(evidence), std::move(fix),
                        1.0, source);
}

} // namespace

Finding ascUnavailableFinding(const std::exception& error, const AppStoreConnectService& service) {
    const QString item = u"the keychain service \u201C%1\u201D, account \u201C%2\u201D"_s.arg(
        service.keychain().service, service.credentialAccount());
    const auto* asc = dynamic_cast<const AppStoreConnectError*>(&error);
    const bool unreadableKey =
        asc != nullptr && (asc->kind() == AppStoreConnectError::Kind::unreadableCredentials ||
                           asc->kind() == AppStoreConnectError::Kind::invalidCredentials);
    if (unreadableKey) {
        QString evidence = errorDescription(error);
        if (asc->kind() == AppStoreConnectError::Kind::invalidCredentials) {
            evidence += u" Its privateKeyPEM member is not one P-256 private key in PEM form."_s;
        }
        return unavailableFinding(
            ascConnection, u"The stored App Store Connect key could not be read"_s,
            u"The local build scan completed, but the App Store Connect API key stored in the "
            u"keychain could not be used, so the build was not compared with its App Store "
            u"Connect record."_s,
            evidence,
            u"Store the key again under "_s + item +
                u", as one JSON object with the text members issuerID, keyID and privateKeyPEM "
                u"(a P-256 private key in PEM form), as the README shows."_s,
            EvidenceSource::appStoreConnect);
    }
    const bool offline = dynamic_cast<const http::TransportError*>(&error) != nullptr;
    return unavailableFinding(
        ascConnection, u"App Store Connect comparison was unavailable"_s,
        u"The local build scan completed, but the connected App Store Connect record could not "
        u"be read."_s,
        errorDescription(error),
        offline
            ? u"Check this computer\u2019s network connection and that App Store Connect can be "
              u"reached, then scan again."_s
            : u"Check the API key stored under "_s + item +
                  u" and verify that its role can read apps and release metadata."_s,
        EvidenceSource::appStoreConnect);
}

Finding screenshotReviewUnavailableFinding(const QString& evidence) {
    return unavailableFinding(
        screenshotReview, u"Screenshot review was unavailable"_s,
        u"Local image checks completed, but semantic screenshot analysis did not."_s, evidence,
        u"Check the connection and service status. Review the screenshots manually before "
        u"submitting."_s,
        EvidenceSource::manual);
}

Finding guidedSolutionsUnavailableFinding(const std::exception& error) {
    return unavailableFinding(
        guidedSolutions, u"Guided solutions were unavailable"_s,
        u"The local build and screenshot checks completed, but the remote evidence review could "
        u"not add guided solutions."_s,
        errorDescription(error),
        u"Use the local findings below, then run a fresh scan when the Berthwatch service is "
        u"available."_s,
        EvidenceSource::manual);
}

void applyScreenshotReviewFailure(const ScreenshotSlots& chosen, const QString& evidence,
                                  ScanReport& report) {
    if (report.screenshotSummary) {
        std::vector<ScreenshotAssessment> failed;
        for (const auto& [prompt, path] : chosen) {
            failed.push_back({QFileInfo(path).fileName(), prompt,
                              ScreenshotAssessmentStatus::failed,
                              u"Semantic screenshot review was unavailable."_s, false});
        }
        report.screenshotSummary->analyzedCount = 0;
        report.screenshotSummary->assessments = std::move(failed);
    }
    report.findings.push_back(screenshotReviewUnavailableFinding(evidence));
}

} // namespace bw
