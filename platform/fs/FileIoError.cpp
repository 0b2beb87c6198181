#include "platform/fs/FileIoError.h"

#include <QFileInfo>
#include <system_error>

namespace bw::fs {

namespace {

QString describe(FileIoError::Operation operation, const QString& path, int errorNumber) {
    const QString verb = operation == FileIoError::Operation::read ? QStringLiteral("read")
                                                                   : QStringLiteral("saved");
    const QString reason = QString::fromStdString(std::system_category().message(errorNumber));
    return QStringLiteral("The file \u201C%1\u201D could not be %2: %3.")
        .arg(QFileInfo(path).fileName(), verb, reason);
}

} // namespace

FileIoError::FileIoError(Operation operation, QString path, int errorNumber)
    : std::runtime_error(describe(operation, path, errorNumber).toStdString()),
      operation_(operation), path_(std::move(path)), errorNumber_(errorNumber) {}

QString FileIoError::description() const {
    return QString::fromUtf8(what());
}

} // namespace bw::fs
