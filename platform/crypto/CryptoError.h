#pragma once

#include <QString>
#include <exception>

namespace bw::crypto {

// A key that cannot be used, or a cryptographic operation that OpenSSL refused.
class CryptoError : public std::exception {
public:
    enum class Kind { invalidKey, signingFailed, digestFailed };

    explicit CryptoError(Kind kind);

    Kind kind() const { return kind_; }
    QString description() const;
    const char* what() const noexcept override { return what_.constData(); }

private:
    Kind kind_;
    QByteArray what_;
};

} // namespace bw::crypto
