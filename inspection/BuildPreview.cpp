#include "inspection/AppIconExtractor.h"
#include "inspection/BuildIdentityReading.h"
#include "inspection/BuildScanner.h"
#include "inspection/WorkFolders.h"
#include "platform/core/Cancelled.h"
#include "platform/fs/FileWalk.h"
#include "platform/fs/TemporaryFolder.h"

#include <QDir>
#include <QFileInfo>

namespace bw {

StagedBuildPreview BuildScanner::preview(const QString& artifact, std::stop_token stop) const {
    if (stop.stop_requested()) {
        throw Cancelled();
    }
    const QString path = QDir::cleanPath(QFileInfo(artifact).absoluteFilePath());
    const fs::TemporaryFolder workFolder(work_folders::preview.toString());
    const QString app = prepareArtifact(path, workFolder.path(), stop);
    if (stop.stop_requested()) {
        throw Cancelled();
    }
    const plist::PlistDictionary info = readInfoPlist(app);
    const std::vector<QString> topLevel =
        fs::listFolder(app, /*skipHidden=*/true).value_or(std::vector<QString>{});

    return StagedBuildPreview{readBuildIdentity(info, app),
                              app_icon_extractor::iconPNG(app, info, topLevel, stop),
                              deviceFamilyNames(info), bundleSize(app, stop)};
}

} // namespace bw
