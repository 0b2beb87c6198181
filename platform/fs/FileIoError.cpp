#include "platform/fs/FileIoError.h"

#include <QFileInfo>
#include <system_error>

namespace bw::fs {

namespace {

QString systemReason(int errorNumber) {
    return QString::fromStdString(std::system_category().message(errorNumber));
}

QString describe(FileIoError::Operation operation, const QString& path, const QString& reason) {
    const QString verb = operation == FileIoError::Operation::read ? QStringLiteral("read")
                                                                   : QStringLiteral("saved");
    return QStringLiteral("The file \u201C%1\u201D could not be %2: %3.")
        .arg(QFileInfo(path).fileName(), verb, reason);
}

} // namespace

FileIoError::FileIoError(Operation operation, QString path, int errorNumber)
    : FileIoError(operation, std::move(path), errorNumber, systemReason(errorNumber)) {}

FileIoError::FileIoError(Operation operation, QString path, int errorNumber, const QString& reason)
    : std::runtime_error(describe(operation, path, reason).toStdString()), operation_(operation),
      path_(std::move(path)), errorNumber_(errorNumber), reason_(reason) {}

QString FileIoError::description() const {
    return QString::fromUtf8(what());
}

} // namespace bw::fs
