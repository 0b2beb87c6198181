#pragma once

#include "model/ReportIconFiles.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QUuid>
#include <optional>

namespace bw {

// The report ids that the files set aside in a history folder (reports.corrupt-*.json) name, so
// that the icons of those reports stay and what was set aside can be brought back whole. A file is
// read once, as nothing of ours changes it, and through a link as the file it leads to.
class SetAsideReportIds {
public:
    // Files of more than `maxBytes` are not read.
    explicit SetAsideReportIds(qint64 maxBytes) : maxBytes_(maxBytes) {}

    // Nothing when a set-aside file cannot be read (unreadable to this user, or over the bound):
    // it might name any report. What is no regular file (a folder, a pipe, a device, a link to
    // nothing) names none.
    std::optional<QSet<QUuid>> in(const QString& folder);

private:
    struct Read {
        IconFileCache::Stamp stamp;
        QSet<QUuid> ids;
    };
    qint64 maxBytes_;
    QHash<QString, Read> files_; // by path
};

} // namespace bw
