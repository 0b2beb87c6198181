#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace bw::crypto {

// The 32-byte SHA-256 digest of `data`. Throws CryptoError(digestFailed) if OpenSSL refuses.
QByteArray sha256(QByteArrayView data);

} // namespace bw::crypto
