#include "inspection/BuildScanner.h"
#include "inspection/BuildScannerError.h"
#include "platform/fs/FileStatus.h"
#include "platform/fs/FileWalk.h"
#include "platform/fs/ReadWholeFile.h"

namespace bw {

namespace {

constexpr qint64 maxInfoPlistBytes = 64 * 1024 * 1024;

std::vector<QString> walkBundle(const QString& app, std::stop_token stop) {
    return fs::walk(app, {.skipHidden = true, .descendIntoPackages = true, .stop = std::move(stop)})
        .value_or(std::vector<QString>{});
}

} // namespace

plist::PlistDictionary BuildScanner::readInfoPlist(const QString& app) {
    QString path;
    for (const QString& candidate :
         {app + QStringLiteral("/Info.plist"), app + QStringLiteral("/Contents/Info.plist")}) {
        if (fs::exists(candidate)) {
            path = candidate;
            break;
        }
    }
    if (path.isEmpty()) {
        throw BuildScannerError(BuildScannerError::Kind::infoPlistMissing);
    }
    // Only a regular file inside the bundle is read: a link or a device is no Info.plist.
    const auto bytes = fs::resolvesInside(path, app)
                           ? fs::tryReadRegularFile(path, maxInfoPlistBytes)
                           : std::nullopt;
    const auto root = bytes ? plist::PlistValue::parse(*bytes) : std::nullopt;
    if (!root || root->dictionary() == nullptr) {
        throw BuildScannerError(BuildScannerError::Kind::infoPlistInvalid);
    }
    return *root->dictionary();
}

std::optional<QString> BuildScanner::executableURL(const QString& app,
                                                   const plist::PlistDictionary& info) {
    const QString* name = plist::stringEntry(info, u"CFBundleExecutable");
    if (name == nullptr || name->isEmpty()) {
        return std::nullopt;
    }
    for (const QString& candidate :
         {app + u'/' + *name, app + QStringLiteral("/Contents/MacOS/") + *name}) {
        // The name comes from the bundle: "../" in it must not lead outside.
        if (fs::isExecutableFile(candidate) && fs::resolvesInside(candidate, app)) {
            return candidate;
        }
    }
    return std::nullopt;
}

std::vector<QString> BuildScanner::bundleFiles(const QString& app, std::stop_token stop) {
    return walkBundle(app, std::move(stop));
}

qint64 BuildScanner::bundleSize(const QString& app, std::stop_token stop) {
    qint64 total = 0;
    for (const QString& item : walkBundle(app, std::move(stop))) {
        const auto status = fs::itemStatus(item);
        if (status && status->kind == fs::ItemKind::regularFile) {
            total += status->size;
        }
    }
    return total;
}

} // namespace bw
