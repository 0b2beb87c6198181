#pragma once

#include <QString>
#include <exception>

namespace bw {

// A keychain operation that failed for any reason other than a missing item.
class KeychainStoreError : public std::exception {
public:
    enum class Kind { unexpectedStatus };

    explicit KeychainStoreError(qint32 status);

    Kind kind() const { return Kind::unexpectedStatus; }
    qint32 status() const { return status_; }
    QString description() const;
    const char* what() const noexcept override { return what_.constData(); }

private:
    qint32 status_;
    QByteArray what_;
};

} // namespace bw
