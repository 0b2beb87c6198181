#include "inspection/BuildScannerError.h"

namespace bw {

namespace {

QString describe(BuildScannerError::Kind kind, const QString& toolOutput) {
    switch (kind) {
    case BuildScannerError::Kind::extractionFailed:
        return QStringLiteral("The IPA could not be extracted. ") + toolOutput;
    case BuildScannerError::Kind::unsupportedArtifact:
        return QStringLiteral("Berthwatch supports .ipa, .xcarchive, and .app artifacts.");
    case BuildScannerError::Kind::appBundleNotFound:
        return QStringLiteral("No application bundle was found in this artifact.");
    case BuildScannerError::Kind::infoPlistMissing:
        return QStringLiteral("The application Info.plist is missing.");
    case BuildScannerError::Kind::infoPlistInvalid:
        return QStringLiteral("The application Info.plist could not be parsed.");
    }
    return {};
}

} // namespace

BuildScannerError::BuildScannerError(Kind kind) : BuildScannerError(kind, {}) {}

BuildScannerError::BuildScannerError(Kind kind, QString toolOutput)
    : DomainError(kind, describe(kind, toolOutput)), toolOutput_(std::move(toolOutput)) {}

BuildScannerError BuildScannerError::extractionFailed(const QString& toolOutput) {
    return BuildScannerError(Kind::extractionFailed, toolOutput);
}

} // namespace bw
