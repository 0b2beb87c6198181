#include "inspection/BuildScanner.h"

#include "inspection/ScanFindings.h"
#include "inspection/WorkFolders.h"
#include "inspection/checks/BinaryChecks.h"
#include "inspection/checks/MetadataChecks.h"
#include "inspection/checks/PlatformChecks.h"
#include "inspection/checks/PrivacyManifestChecks.h"
#include "inspection/checks/PurposeStringChecks.h"
#include "inspection/checks/ResourceChecks.h"
#include "inspection/checks/ReviewRiskChecks.h"
#include "inspection/checks/SigningChecks.h"
#include "model/FindingOrder.h"
#include "model/ReportHelpers.h"
#include "platform/core/Cancelled.h"
#include "platform/fs/FileStatus.h"
#include "platform/fs/TemporaryFolder.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QUuid>
#include <algorithm>

namespace bw {

namespace {

void checkCancellation(const std::stop_token& stop) {
    if (stop.stop_requested()) {
        throw Cancelled();
    }
}

// What one scan has learned so far; the checks read it and add to its two lists.
struct ScanState {
    QString artifact;
    QString app;
    plist::PlistDictionary info;
    std::vector<QString> files;
    std::optional<QString> executable;
    std::vector<Finding> findings;
    std::vector<QString> passedChecks;
    std::vector<QString> architectures;
};

} // namespace

BuildScanner::BuildScanner(QString toolDirectory, double extractionTimeout)
    : toolDirectory_(std::move(toolDirectory)), extractionTimeout_(extractionTimeout) {}

QString BuildScanner::defaultToolDirectory() {
#ifdef Q_OS_MACOS
    return QStringLiteral("/usr/bin");
#else
    const QString executable = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    return QFileInfo(executable).absolutePath() + QStringLiteral("/libexec/berthwatch");
#endif
}

ScanReport BuildScanner::scan(const QString& artifact, const Progress& progress,
                              std::stop_token stop) const {
    checkCancellation(stop);
    ScanState state;
    // Cleaned, so that a folder chosen as "Demo.app/" is reported by its plain path.
    state.artifact = QDir::cleanPath(QFileInfo(artifact).absoluteFilePath());
    progress(QStringLiteral("Preparing artifact"), 0.04);

    const fs::TemporaryFolder workFolder(work_folders::scan.toString());
    state.app = prepareArtifact(state.artifact, workFolder.path(), stop);
    checkCancellation(stop);
    progress(QStringLiteral("Reading application bundle"), 0.14);

    state.info = readInfoPlist(state.app);
    state.files = bundleFiles(state.app, stop);
    state.executable = executableURL(state.app, state.info);
    state.passedChecks = {QStringLiteral("Application bundle located"),
                          QStringLiteral("Info.plist parsed")};
    progress(QStringLiteral("Checking package metadata"), 0.25);

    checks::inspectMetadata(state.info, state.findings, state.passedChecks);
    checks::inspectPurposeStrings(state.info, state.files, state.findings, state.passedChecks);
    checks::inspectResources(state.info, state.app, state.files, bundleSize(state.app, stop),
                             state.findings, state.passedChecks, stop);
    checkCancellation(stop);
    progress(QStringLiteral("Verifying signature and entitlements"), 0.42);

    const plist::PlistDictionary entitlements =
        checks::inspectSigning(toolDirectory_, state.artifact, state.app, state.info,
                               state.findings, state.passedChecks, stop);
    checkCancellation(stop);
    progress(QStringLiteral("Inspecting privacy manifests"), 0.58);

    checks::inspectPrivacyManifests(toolDirectory_, state.app, state.files, state.executable,
                                    state.findings, state.passedChecks, stop);
    checkCancellation(stop);
    progress(QStringLiteral("Inspecting binary and embedded SDKs"), 0.72);

    checks::ArchitectureReport binary =
        checks::readArchitectures(toolDirectory_, state.executable, stop);
    state.architectures = std::move(binary.architectures);
    checks::inspectBinary(state.info, state.app, state.executable, state.architectures,
                          binary.linkedLibraries, state.files, state.findings, state.passedChecks);
    checks::inspectPlatformRequirements(state.info, state.app, entitlements, state.findings,
                                        state.passedChecks);
    progress(QStringLiteral("Mapping App Review risks"), 0.88);

    checks::inspectReviewRisks(binary.linkedLibraries, state.files, state.findings);
    checkCancellation(stop);

    settleFindings(state.findings, workFolder.path());
    rankFindings(state.findings, FindingRanking::severityCategoryAndTitle);
    BuildMetadata metadata =
        makeBuildMetadata(state.info, state.app, state.files, state.architectures, stop);
    const Verdict result = verdictFor(state.findings);
    progress(QStringLiteral("Report ready"), 1.0);

    return ScanReport{QUuid::createUuid(),
                      QDateTime::currentDateTimeUtc(),
                      fs::lastPathComponent(state.artifact),
                      state.artifact,
                      result,
                      std::move(metadata),
                      std::move(state.findings),
                      orderedUnique(state.passedChecks),
                      std::nullopt,
                      QString::fromLatin1(rulesVersion)};
}

} // namespace bw
