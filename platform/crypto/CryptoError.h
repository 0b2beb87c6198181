#pragma once

#include "platform/core/DomainError.h"

#include <QString>

namespace bw::crypto {

enum class CryptoErrorKind { invalidKey, signingFailed, digestFailed };

// A key that cannot be used, or a cryptographic operation that OpenSSL refused.
class CryptoError : public DomainError<CryptoErrorKind, QString> {
public:
    explicit CryptoError(Kind kind);
};

} // namespace bw::crypto
