#pragma once

#include "model/ScanReport.h"
#include "model/StagedBuild.h"
#include "platform/plist/PlistValue.h"

#include <QString>
#include <functional>
#include <optional>
#include <stop_token>
#include <vector>

namespace bw {

// Turns one build (.ipa, .xcarchive or .app) into its report, all on this machine, by running the
// rule checks of inspection/checks in order. Holds no state between calls besides the folder of
// the command-line tools it runs, so calls never interfere; each call works in a private
// temporary folder of its own that is removed on every way out.
class BuildScanner {
public:
    // Receives what starts next and the share of the scan that is done, in 0...1.
    using Progress = std::function<void(const QString& message, double fraction)>;

    static constexpr const char* rulesVersion = "2026.08.1";
    static constexpr double defaultExtractionTimeout = 300;

    // Tests shorten the extraction time-out; the application keeps the default.
    explicit BuildScanner(QString toolDirectory = defaultToolDirectory(),
                          double extractionTimeout = defaultExtractionTimeout);

    // "/usr/bin" on macOS; elsewhere libexec/berthwatch next to the running executable.
    static QString defaultToolDirectory();
    const QString& toolDirectory() const { return toolDirectory_; }
    double extractionTimeout() const { return extractionTimeout_; }

    // Throws Cancelled, std::system_error, BuildScannerError or CommandRunnerError.
    ScanReport scan(const QString& artifact, const Progress& progress,
                    std::stop_token stop = {}) const;

    // A quick description of a build that is staged but not yet scanned; no checks, no progress.
    // Throws like `scan`.
    StagedBuildPreview preview(const QString& artifact, std::stop_token stop = {}) const;

    // The application bundle of `artifact`; an .ipa is unpacked into `workFolder` first.
    QString prepareArtifact(const QString& artifact, const QString& workFolder,
                            std::stop_token stop = {}) const;
    static QString archiveApplicationURL(const QString& archive, std::stop_token stop = {});
    static QString findApplicationBundle(const QString& folder, std::stop_token stop = {});

    static plist::PlistDictionary readInfoPlist(const QString& app);
    static std::optional<QString> executableURL(const QString& app,
                                                const plist::PlistDictionary& info);
    // Every non-hidden item of the bundle, packages inside it included, depth-first. These walks,
    // and the metadata's, throw Cancelled once `stop` is requested.
    static std::vector<QString> bundleFiles(const QString& app, std::stop_token stop = {});
    // Bytes of the bundle's non-hidden regular files; 0 when it cannot be listed.
    static qint64 bundleSize(const QString& app, std::stop_token stop = {});

    static BuildMetadata makeBuildMetadata(const plist::PlistDictionary& info, const QString& app,
                                           const std::vector<QString>& files,
                                           const std::vector<QString>& architectures,
                                           std::stop_token stop = {});
    static QString platformName(const plist::PlistDictionary& info);
    static std::optional<QString> deviceFamilyNames(const plist::PlistDictionary& info);

private:
    QString toolDirectory_;
    double extractionTimeout_;
};

} // namespace bw
