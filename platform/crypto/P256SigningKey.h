#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <memory>

struct evp_pkey_st;

namespace bw::crypto {

// An ECDSA private key on the P-256 curve. A cheap, immutable value: copies share the key, and
// signing from several threads at once is safe.
class P256SigningKey {
public:
    // Reads one PEM block holding a PKCS#8 ("PRIVATE KEY") or SEC1 ("EC PRIVATE KEY") P-256 key.
    // Anything else (another curve or algorithm, an encrypted key, several blocks, trailing
    // text) throws CryptoError(invalidKey).
    static P256SigningKey fromPEM(QByteArrayView pem);

    // ES256: ECDSA over the SHA-256 digest of `message`, as 64 bytes r then s, each big-endian
    // and zero-padded to 32 bytes. Throws CryptoError(signingFailed).
    QByteArray sign(QByteArrayView message) const;

private:
    explicit P256SigningKey(std::shared_ptr<evp_pkey_st> key) : key_(std::move(key)) {}

    std::shared_ptr<evp_pkey_st> key_;
};

} // namespace bw::crypto
