#include "services/screenshots/UniqueFindingIds.h"

namespace bw {

QString UniqueFindingIds::claim(const QString& prefix, const QString& fileName) {
    QString id = prefix + fileName;
    for (int suffix = 2; claimed_.contains(id); ++suffix) {
        id = prefix + fileName + u'-' + QString::number(suffix);
    }
    claimed_.insert(id);
    return id;
}

} // namespace bw
