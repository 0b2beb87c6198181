#include "model/ReportStoreNotices.h"

#include <QDir>
#include <QFileInfo>

namespace bw::store_notices {

namespace {

QString quoted(const QString& path) {
    return u'\u201C' + QDir::toNativeSeparators(path) + u'\u201D';
}

} // namespace

QString setAside(std::size_t count, std::size_t restored, const QString& path) {
    if (restored == count) {
        return count == 1 ? QStringLiteral("One report could not be read and was restored from its "
                                           "last good backup; the unreadable file was set aside "
                                           "in %1.")
                                .arg(quoted(path))
                          : QStringLiteral("%1 reports could not be read and were restored from "
                                           "their last good backup; the unreadable file was set "
                                           "aside in %2.")
                                .arg(count)
                                .arg(quoted(path));
    }
    if (restored > 0) {
        const QString back = restored == 1
                                 ? QStringLiteral("one of them was restored")
                                 : QStringLiteral("%1 of them were restored").arg(restored);
        return QStringLiteral("%1 reports could not be read and were set aside in %2; %3 from "
                              "the last good backup, and the rest of the history is shown.")
            .arg(count)
            .arg(quoted(path), back);
    }
    return count == 1 ? QStringLiteral("One report could not be read and was set aside in %1; "
                                       "the rest of the history is shown.")
                            .arg(quoted(path))
                      : QStringLiteral("%1 reports could not be read and were set aside in %2; "
                                       "the rest of the history is shown.")
                            .arg(count)
                            .arg(quoted(path));
}

QString startedOver(const std::optional<QString>& primary, const std::optional<QString>& backup) {
    if (primary && backup) {
        return QStringLiteral("The report history and its backup could not be read and were set "
                              "aside in %1 and %2; a new history was started.")
            .arg(quoted(*primary), quoted(*backup));
    }
    if (primary) {
        return QStringLiteral("The report history could not be read and has no backup; it was "
                              "set aside in %1 and a new history was started.")
            .arg(quoted(*primary));
    }
    return QStringLiteral("The report history was missing and its backup could not be read; the "
                          "backup was set aside in %1 and a new history was started.")
        .arg(quoted(backup.value_or(QString())));
}

QString restoredUnreadable(const QString& path) {
    return QStringLiteral("The report history could not be read and was restored from its last "
                          "good backup; the unreadable file was set aside in %1.")
        .arg(quoted(path));
}

QString restoredPartly(const std::optional<QString>& primary, const QString& backup,
                       std::size_t count) {
    const QString lost = count == 1 ? QStringLiteral("one report could not be read")
                                    : QStringLiteral("%1 reports could not be read").arg(count);
    if (primary) {
        return QStringLiteral("The report history could not be read and was restored from its "
                              "backup, where %1; the history was set aside in %2 and the backup "
                              "in %3, and the rest of the history is shown.")
            .arg(lost, quoted(*primary), quoted(backup));
    }
    return QStringLiteral("The primary report history was missing and was restored from its "
                          "backup, where %1; the backup was set aside in %2, and the rest of the "
                          "history is shown.")
        .arg(lost, quoted(backup));
}

QString reportsUnreadable(const QString& path, std::size_t count) {
    const QString name = QFileInfo(path).fileName();
    return count == 1 ? QStringLiteral("The file \u201C%1\u201D was read, but one of its reports "
                                       "could not be.")
                            .arg(name)
                      : QStringLiteral("The file \u201C%1\u201D was read, but %2 of its reports "
                                       "could not be.")
                            .arg(name)
                            .arg(count);
}

QString backupMovedAside(const QString& path) {
    return QStringLiteral("The backup of the report history could not be read and was set aside "
                          "in %1.")
        .arg(quoted(path));
}

std::optional<QString> joined(const QStringList& sentences) {
    QStringList present = sentences;
    present.removeAll(QString());
    return present.isEmpty() ? std::nullopt : std::optional<QString>(present.join(u' '));
}

} // namespace bw::store_notices
