#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// What the report store tells the user when it had to set files aside; paths are where they went.
namespace bw::store_notices {

// `count` reports of the history did not decode, of which `restored` came back from the backup.
QString setAside(std::size_t count, std::size_t restored, const QString& path);

// Neither history file could be read and both were set aside, so that a new history could begin;
// an absent path is a file that was not there.
QString startedOver(const std::optional<QString>& primary, const std::optional<QString>& backup);

// The primary file could not be read at all and was moved to `path`; the backup took its place.
QString restoredUnreadable(const QString& path);

// The backup took the place of the primary file, which was missing (`primary` absent) or set aside
// in `primary`, less `count` of its reports that did not decode: the backup was set aside in
// `backup`.
QString restoredPartly(const std::optional<QString>& primary, const QString& backup,
                       std::size_t count);

// The history file at `path` was read, but `count` of its reports did not decode.
QString reportsUnreadable(const QString& path, std::size_t count);

// The backup was in the way of every save (a folder) and was moved to `path`.
QString backupMovedAside(const QString& path);

// The sentences that are there, one after the other.
std::optional<QString> joined(const QStringList& sentences);

} // namespace bw::store_notices
