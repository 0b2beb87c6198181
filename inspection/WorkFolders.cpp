#include "inspection/WorkFolders.h"

#include "platform/fs/TemporaryFolder.h"

namespace bw::work_folders {

int removeAbandoned(const QString& base, std::stop_token stop) {
    return fs::removeAbandonedFolders(
        base, {scan.toString(), preview.toString(), command.toString()}, std::move(stop));
}

} // namespace bw::work_folders
