#include "inspection/BuildScanner.h"
#include "inspection/BuildScannerError.h"
#include "inspection/CommandRunner.h"
#include "platform/fs/FileStatus.h"
#include "platform/fs/FileWalk.h"
#include "platform/fs/ReadWholeFile.h"
#include "platform/zip/Archive.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <algorithm>
#include <cmath>

namespace bw {

namespace {

// Property lists this large are no archive description.
constexpr qint64 maxPlistBytes = 64 * 1024 * 1024;

// The bundle the archive's own description names, when that names one inside "Products".
std::optional<QString> describedApplication(const QString& archive) {
    const auto bytes =
        fs::tryReadRegularFile(archive + QStringLiteral("/Info.plist"), maxPlistBytes);
    if (!bytes) {
        return std::nullopt;
    }
    const auto root = plist::PlistValue::parse(*bytes);
    const plist::PlistDictionary* top = root ? root->dictionary() : nullptr;
    const plist::PlistValue* properties = top ? top->find(u"ApplicationProperties") : nullptr;
    const plist::PlistDictionary* dictionary = properties ? properties->dictionary() : nullptr;
    const QString* path =
        dictionary ? plist::stringEntry(*dictionary, u"ApplicationPath") : nullptr;
    if (path == nullptr) {
        return std::nullopt;
    }
    // The path comes from the archive itself: once links and ".." are resolved it must stay
    // inside "Products", or a crafted archive could point the scan anywhere on the disk.
    const QString candidate = archive + QStringLiteral("/Products/") + *path;
    if (!fs::resolvesInside(candidate, archive + QStringLiteral("/Products"))) {
        return std::nullopt;
    }
    return QFileInfo(candidate).canonicalFilePath();
}

// App Store builds unpack to at most 4 GB; an archive that claims far more is a bomb, not a build.
constexpr std::uint64_t largestPlausibleExpansion = 8'000'000'000;
constexpr std::uint64_t largestExpansionAtAnyRatio = 2'000'000'000;
constexpr std::uint64_t largestPlausibleRatio = 100;

QString sizeText(std::uint64_t bytes) {
    if (bytes >= 1'000'000'000) {
        return QStringLiteral("%1 GB").arg(double(bytes) / 1e9, 0, 'f', 2);
    }
    if (bytes >= 1'000'000) {
        return QStringLiteral("%1 MB").arg(double(bytes) / 1e6, 0, 'f', 1);
    }
    return QStringLiteral("%1 KB").arg(double(bytes) / 1e3, 0, 'f', 1);
}

// "1,000" for a ratio of 1,034: two significant figures say all a refusal needs.
QString roughTimes(double ratio) {
    const double scale = std::pow(10.0, std::max(0.0, std::floor(std::log10(ratio)) - 1));
    return QLocale(QLocale::English).toString(qint64(std::round(ratio / scale) * scale));
}

// Why an archive declaring `declared` bytes in a file of `fileSize` is no build: the total, or else
// the expansion. Nothing when neither is beyond what real builds have.
std::optional<QString> implausibleExpansionReason(std::uint64_t declared, std::uint64_t fileSize) {
    const QString unpacked = QStringLiteral("Its entries declare %1 unpacked from a %2 file, ")
                                 .arg(sizeText(declared), sizeText(fileSize));
    if (declared > largestPlausibleExpansion) {
        return unpacked + QStringLiteral("more than 8 GB, twice what an App Store build may unpack "
                                         "to, so nothing was extracted.");
    }
    if (declared > largestExpansionAtAnyRatio && declared > largestPlausibleRatio * fileSize) {
        return unpacked + QStringLiteral("about %1 times its size; no app build compresses that "
                                         "well, so nothing was extracted.")
                              .arg(roughTimes(double(declared) / double(fileSize)));
    }
    return std::nullopt;
}

// Refuses, before anything is written, an archive whose entries declare an expansion no real
// build has. One that cannot be read is left for the extraction tool to describe.
void refuseImplausibleExpansion(const QString& artifact, std::stop_token stop) {
    const std::optional<std::uint64_t> declared =
        zip::declaredUncompressedSize(QFile::encodeName(artifact).toStdString(), std::move(stop));
    if (!declared) {
        return;
    }
    const auto fileSize = std::uint64_t(std::max<qint64>(QFileInfo(artifact).size(), 1));
    if (const auto reason = implausibleExpansionReason(*declared, fileSize)) {
        throw BuildScannerError::extractionFailed(*reason);
    }
}

} // namespace

QString BuildScanner::prepareArtifact(const QString& artifact, const QString& workFolder,
                                      std::stop_token stop) const {
    const QString extension = fs::pathExtension(artifact).toLower();
    if (extension == u"app") {
        return artifact;
    }
    if (extension == u"xcarchive") {
        return archiveApplicationURL(artifact, stop);
    }
    if (extension != u"ipa") {
        throw BuildScannerError(BuildScannerError::Kind::unsupportedArtifact);
    }
    refuseImplausibleExpansion(artifact, stop);
    const CommandResult result =
        command_runner::run(toolDirectory_ + QStringLiteral("/ditto"),
                            {QStringLiteral("-x"), QStringLiteral("-k"), artifact, workFolder},
                            extractionTimeout_, stop);
    if (result.status != 0) {
        throw BuildScannerError::extractionFailed(result.combinedOutput());
    }
    return findApplicationBundle(workFolder + QStringLiteral("/Payload"), stop);
}

QString BuildScanner::archiveApplicationURL(const QString& archive, std::stop_token stop) {
    if (const auto described = describedApplication(archive)) {
        return *described;
    }
    return findApplicationBundle(archive + QStringLiteral("/Products/Applications"),
                                 std::move(stop));
}

QString BuildScanner::findApplicationBundle(const QString& folder, std::stop_token stop) {
    const auto items = fs::walk(
        folder, {.skipHidden = true, .descendIntoPackages = false, .stop = std::move(stop)});
    if (items) {
        for (const QString& item : *items) {
            // Only a real folder: a link named like a bundle could lead anywhere.
            if (fs::pathExtension(item).toLower() == u"app" && fs::isFolder(item)) {
                return item;
            }
        }
    }
    throw BuildScannerError(BuildScannerError::Kind::appBundleNotFound);
}

} // namespace bw
