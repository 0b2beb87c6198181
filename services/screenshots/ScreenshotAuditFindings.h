#pragma once

#include "model/Finding.h"

#include <QString>

// The findings of the local screenshot audit. `id` is the finding's id, already made unique;
// `file` is the file's name with its extension.
namespace bw::screenshot_audit {

// W × H with the multiplication sign.
QString dimensions(qint64 width, qint64 height);

Finding maximumCount(qint64 fileCount);
Finding invalid(const QString& id, const QString& file);
Finding small(const QString& id, const QString& file, qint64 width, qint64 height);
Finding storeDimension(const QString& id, const QString& file, qint64 width, qint64 height);
Finding storeFormat(const QString& id, const QString& file);
Finding storeAlpha(const QString& id, const QString& file);
Finding duplicate(const QString& id, const QString& earlierFile, const QString& file);
Finding semanticReview(qint64 decodedCount);

} // namespace bw::screenshot_audit
