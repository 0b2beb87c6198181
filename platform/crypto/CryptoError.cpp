#include "platform/crypto/CryptoError.h"

namespace bw::crypto {

CryptoError::CryptoError(Kind kind) : kind_(kind), what_(description().toUtf8()) {}

QString CryptoError::description() const {
    switch (kind_) {
    case Kind::invalidKey:
        return QStringLiteral("The key is not a P-256 private key in PEM form.");
    case Kind::signingFailed:
        return QStringLiteral("The ES256 signature could not be created.");
    case Kind::digestFailed:
        return QStringLiteral("The SHA-256 digest could not be computed.");
    }
    return {};
}

} // namespace bw::crypto
