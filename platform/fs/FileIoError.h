#pragma once

#include <QByteArray>
#include <QString>
#include <stdexcept>

namespace bw::fs {

// A file that could not be read or written, with the operating system's own reason.
class FileIoError : public std::runtime_error {
public:
    enum class Operation { read, write };

    FileIoError(Operation operation, QString path, int errorNumber);
    // The same with our own reason in place of the system's text for `errorNumber`.
    FileIoError(Operation operation, QString path, int errorNumber, const QString& reason);

    Operation operation() const { return operation_; }
    const QString& path() const { return path_; }
    int errorNumber() const { return errorNumber_; }
    // The system's reason, or ours: "Is a directory".
    const QString& reason() const { return reason_; }

    // "The file “reports.json” could not be read: Is a directory."
    QString description() const;

private:
    Operation operation_;
    QString path_;
    int errorNumber_;
    QString reason_;
};

} // namespace bw::fs
