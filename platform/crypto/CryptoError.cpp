#include "platform/crypto/CryptoError.h"

namespace bw::crypto {

namespace {

QString describe(CryptoError::Kind kind) {
    switch (kind) {
    case CryptoError::Kind::invalidKey:
        return QStringLiteral("The key is not a P-256 private key in PEM form.");
    case CryptoError::Kind::signingFailed:
        return QStringLiteral("The ES256 signature could not be created.");
    case CryptoError::Kind::digestFailed:
        return QStringLiteral("The SHA-256 digest could not be computed.");
    }
    return {};
}

} // namespace

CryptoError::CryptoError(Kind kind) : DomainError(kind, describe(kind)) {}

} // namespace bw::crypto
