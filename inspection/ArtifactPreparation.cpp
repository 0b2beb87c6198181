#include "inspection/BuildScanner.h"
#include "inspection/BuildScannerError.h"
#include "inspection/CommandRunner.h"
#include "platform/fs/FileStatus.h"
#include "platform/fs/FileWalk.h"

#include <QFileInfo>

namespace bw {

namespace {

// Property lists this large are no archive description.
constexpr qint64 maxPlistBytes = 64 * 1024 * 1024;

// The bundle the archive's own description names, when that names one inside "Products".
std::optional<QString> describedApplication(const QString& archive) {
    const auto bytes = fs::readRegularFile(archive + QStringLiteral("/Info.plist"), maxPlistBytes);
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

} // namespace

QString BuildScanner::prepareArtifact(const QString& artifact, const QString& workFolder,
                                      std::stop_token stop) const {
    const QString extension = fs::pathExtension(artifact).toLower();
    if (extension == u"app") {
        return artifact;
    }
    if (extension == u"xcarchive") {
        return archiveApplicationURL(artifact);
    }
    if (extension != u"ipa") {
        throw BuildScannerError(BuildScannerError::Kind::unsupportedArtifact);
    }
    const CommandResult result =
        command_runner::run(toolDirectory_ + QStringLiteral("/ditto"),
                            {QStringLiteral("-x"), QStringLiteral("-k"), artifact, workFolder},
                            extractionTimeout_, stop);
    if (result.status != 0) {
        throw BuildScannerError::extractionFailed(result.combinedOutput());
    }
    return findApplicationBundle(workFolder + QStringLiteral("/Payload"));
}

QString BuildScanner::archiveApplicationURL(const QString& archive) {
    if (const auto described = describedApplication(archive)) {
        return *described;
    }
    return findApplicationBundle(archive + QStringLiteral("/Products/Applications"));
}

QString BuildScanner::findApplicationBundle(const QString& folder) {
    const auto items = fs::walk(folder, {.skipHidden = true, .descendIntoPackages = false});
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
