#include "inspection/BuildScannerError.h"

namespace bw {

BuildScannerError::BuildScannerError(Kind kind) : BuildScannerError(kind, {}) {}

BuildScannerError::BuildScannerError(Kind kind, QString toolOutput)
    : kind_(kind), toolOutput_(std::move(toolOutput)), what_(description().toStdString()) {}

BuildScannerError BuildScannerError::extractionFailed(const QString& toolOutput) {
    return BuildScannerError(Kind::extractionFailed, toolOutput);
}

QString BuildScannerError::description() const {
    switch (kind_) {
    case Kind::extractionFailed:
        return QStringLiteral("The IPA could not be extracted. ") + toolOutput_;
    case Kind::unsupportedArtifact:
        return QStringLiteral("Berthwatch supports .ipa, .xcarchive, and .app artifacts.");
    case Kind::appBundleNotFound:
        return QStringLiteral("No application bundle was found in this artifact.");
    case Kind::infoPlistMissing:
        return QStringLiteral("The application Info.plist is missing.");
    case Kind::infoPlistInvalid:
        return QStringLiteral("The application Info.plist could not be parsed.");
    }
    return {};
}

} // namespace bw
