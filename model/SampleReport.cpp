#include "model/ScanReport.h"

namespace bw {

using namespace Qt::Literals::StringLiterals;

const ScanReport& ScanReport::sample() {
    static const ScanReport report = [] {
        const std::vector<Finding> findings{
            {u"sample.debug-entitlement"_s, FindingSeverity::blocker, FindingCategory::signing,
             u"2.5.1"_s, std::nullopt, u"Debug entitlement is enabled"_s,
             u"The signed application contains get-task-allow=true, which is not valid for an App "
             u"Store distribution build."_s,
             u"codesign entitlement: com.apple.security.get-task-allow = true"_s, std::nullopt,
             u"Archive with the App Store distribution configuration and confirm get-task-allow is "
             u"absent before uploading."_s,
             1.0, EvidenceSource::build, std::nullopt},
            {u"sample.camera-copy"_s, FindingSeverity::risk, FindingCategory::permissions,
             u"5.1.1"_s, std::nullopt, u"Camera purpose string is too generic"_s,
             u"The permission message does not explain the feature that uses the camera."_s,
             u"NSCameraUsageDescription = \u201CCamera access is required.\u201D"_s, std::nullopt,
             u"Name the exact feature and user benefit, for example scanning a document from the "
             u"Import screen."_s,
             0.92, EvidenceSource::build, std::nullopt},
            {u"sample.paywall"_s, FindingSeverity::manual, FindingCategory::payments, u"3.1.2"_s,
             std::nullopt, u"Subscription presentation requires screenshot evidence"_s,
             u"StoreKit is present, but the binary cannot prove that price, renewal period, "
             u"Restore, Terms, and Privacy are visible."_s,
             u"StoreKit.framework is embedded or linked."_s, std::nullopt,
             u"Attach the paywall screenshots to the scan and verify the remaining interactive "
             u"behavior manually."_s,
             0.85, EvidenceSource::manual, std::nullopt},
        };
        const BuildMetadata metadata{
            {u"FlightDeck"_s, u"com.example.flightdeck"_s, u"1.0"_s, u"42"_s, u"iOS"_s, u"17.0"_s},
            {u"arm64"_s},
            {u"RevenueCat"_s, u"FirebaseAnalytics"_s},
            28'400'000,
            std::nullopt};
        return ScanReport{QUuid::createUuid(),
                          QDateTime::currentDateTimeUtc(),
                          u"FlightDeck.xcarchive"_s,
                          QString(),
                          Verdict::needsAttention,
                          metadata,
                          findings,
                          {u"Application bundle located"_s, u"Info.plist parsed"_s,
                           u"Bundle identifier present"_s, u"Executable found"_s},
                          std::nullopt,
                          u"2026.08.1"_s};
    }();
    return report;
}

} // namespace bw
