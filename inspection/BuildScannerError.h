#pragma once

#include "platform/core/DomainError.h"

#include <QString>

namespace bw {

enum class BuildScannerErrorKind {
    extractionFailed,
    unsupportedArtifact,
    appBundleNotFound,
    infoPlistMissing,
    infoPlistInvalid,
};

// Failures of finding and reading the application bundle of an artifact.
class BuildScannerError : public DomainError<BuildScannerErrorKind, QString> {
public:
    // `toolOutput` is the extraction tool's combined output.
    static BuildScannerError extractionFailed(const QString& toolOutput);
    explicit BuildScannerError(Kind kind);

    const QString& toolOutput() const { return toolOutput_; }

    bool operator==(const BuildScannerError& other) const {
        return kind() == other.kind() && toolOutput_ == other.toolOutput_;
    }

private:
    BuildScannerError(Kind kind, QString toolOutput);

    QString toolOutput_;
};

} // namespace bw
