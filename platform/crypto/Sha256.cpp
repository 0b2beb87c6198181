#include "platform/crypto/Sha256.h"

#include "platform/crypto/CryptoError.h"

#include <openssl/evp.h>

namespace bw::crypto {

QByteArray sha256(QByteArrayView data) {
    QByteArray digest(32, Qt::Uninitialized);
    unsigned int length = 0;
    if (EVP_Digest(data.data(), static_cast<size_t>(data.size()),
                   reinterpret_cast<unsigned char*>(digest.data()), &length, EVP_sha256(),
                   nullptr) != 1 ||
        length != 32) {
        throw CryptoError(CryptoError::Kind::digestFailed);
    }
    return digest;
}

} // namespace bw::crypto
