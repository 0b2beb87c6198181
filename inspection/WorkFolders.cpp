#include "inspection/WorkFolders.h"

#include "platform/fs/TemporaryFolder.h"

namespace bw::work_folders {

int removeAbandoned(const QString& base) {
    return fs::removeAbandonedFolders(base,
                                      {scan.toString(), preview.toString(), command.toString()});
}

} // namespace bw::work_folders
