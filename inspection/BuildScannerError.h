#pragma once

#include <QString>
#include <exception>
#include <string>

namespace bw {

// Failures of finding and reading the application bundle of an artifact.
class BuildScannerError : public std::exception {
public:
    enum class Kind {
        extractionFailed,
        unsupportedArtifact,
        appBundleNotFound,
        infoPlistMissing,
        infoPlistInvalid,
    };

    // `toolOutput` is the extraction tool's combined output.
    static BuildScannerError extractionFailed(const QString& toolOutput);
    explicit BuildScannerError(Kind kind);

    Kind kind() const { return kind_; }
    const QString& toolOutput() const { return toolOutput_; }
    QString description() const;
    const char* what() const noexcept override { return what_.c_str(); }

    bool operator==(const BuildScannerError& other) const {
        return kind_ == other.kind_ && toolOutput_ == other.toolOutput_;
    }

private:
    BuildScannerError(Kind kind, QString toolOutput);

    Kind kind_;
    QString toolOutput_;
    std::string what_;
};

} // namespace bw
