#include "platform/crypto/P256SigningKey.h"

#include "platform/crypto/CryptoError.h"

#include <cstring>
#include <openssl/bio.h>
#include <openssl/decoder.h>
#include <openssl/ec.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

namespace bw::crypto {
namespace {

template <auto Free> struct Deleter {
    template <typename T> void operator()(T* p) const { Free(p); }
};

using Bio = std::unique_ptr<BIO, Deleter<BIO_free>>;
using KeyInfo = std::unique_ptr<PKCS8_PRIV_KEY_INFO, Deleter<PKCS8_PRIV_KEY_INFO_free>>;
using DecoderContext = std::unique_ptr<OSSL_DECODER_CTX, Deleter<OSSL_DECODER_CTX_free>>;
using KeyContext = std::unique_ptr<EVP_PKEY_CTX, Deleter<EVP_PKEY_CTX_free>>;
using DigestContext = std::unique_ptr<EVP_MD_CTX, Deleter<EVP_MD_CTX_free>>;
using Signature = std::unique_ptr<ECDSA_SIG, Deleter<ECDSA_SIG_free>>;

void freeOpenSslString(char* text) {
    OPENSSL_free(text);
}
void freeOpenSslBytes(unsigned char* bytes) {
    OPENSSL_free(bytes);
}
using OpenSslString = std::unique_ptr<char, Deleter<freeOpenSslString>>;
using OpenSslBytes = std::unique_ptr<unsigned char, Deleter<freeOpenSslBytes>>;

[[noreturn]] void invalidKey() {
    throw CryptoError(CryptoError::Kind::invalidKey);
}

bool isBlank(QByteArrayView text) {
    for (const char c : text) {
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') {
            return false;
        }
    }
    return true;
}

struct PemBlock {
    QByteArray label;
    QByteArray der;
};

// Exactly one unencrypted PEM block, with nothing but blank space around it.
PemBlock readSinglePemBlock(QByteArrayView pem) {
    const QByteArray trimmed = pem.trimmed().toByteArray();
    if (!trimmed.startsWith("-----BEGIN ")) {
        invalidKey();
    }
    Bio bio(BIO_new_mem_buf(trimmed.constData(), static_cast<int>(trimmed.size())));
    if (!bio) {
        invalidKey();
    }
    char* name = nullptr;
    char* header = nullptr;
    unsigned char* data = nullptr;
    long length = 0;
    if (PEM_read_bio(bio.get(), &name, &header, &data, &length) != 1) {
        invalidKey();
    }
    const OpenSslString ownedName(name);
    const OpenSslString ownedHeader(header);
    const OpenSslBytes ownedData(data);
    // Legacy encrypted keys carry "Proc-Type"/"DEK-Info" headers; a plain key has none.
    if (header != nullptr && header[0] != '\0') {
        invalidKey();
    }
    const char* rest = nullptr;
    const long restLength = BIO_get_mem_data(bio.get(), &rest);
    if (restLength > 0 && !isBlank(QByteArrayView(rest, restLength))) {
        invalidKey();
    }
    return {QByteArray(name), QByteArray(reinterpret_cast<const char*>(data), length)};
}

// OpenSSL's decoders take either key structure whatever they are asked for, so the label is
// checked against the structure here: a PKCS#8 PrivateKeyInfo and a SEC1 ECPrivateKey never
// parse as each other.
bool isPkcs8(const QByteArray& der) {
    auto* cursor = reinterpret_cast<const unsigned char*>(der.constData());
    const KeyInfo info(d2i_PKCS8_PRIV_KEY_INFO(nullptr, &cursor, der.size()));
    return info && cursor == reinterpret_cast<const unsigned char*>(der.constData()) + der.size();
}

// The whole DER text must be one EC private key.
EVP_PKEY* decodeEcKey(const QByteArray& der) {
    EVP_PKEY* key = nullptr;
    const DecoderContext decoder(OSSL_DECODER_CTX_new_for_pkey(&key, "DER", nullptr, "EC",
                                                               EVP_PKEY_KEYPAIR, nullptr, nullptr));
    if (!decoder) {
        return nullptr;
    }
    auto* cursor = reinterpret_cast<const unsigned char*>(der.constData());
    size_t remaining = static_cast<size_t>(der.size());
    if (OSSL_DECODER_from_data(decoder.get(), &cursor, &remaining) != 1 || remaining != 0) {
        EVP_PKEY_free(key);
        return nullptr;
    }
    return key;
}

bool isUsableP256Key(EVP_PKEY* key) {
    if (!EVP_PKEY_is_a(key, "EC")) {
        return false;
    }
    char group[64] = {};
    size_t groupLength = 0;
    if (EVP_PKEY_get_group_name(key, group, sizeof group, &groupLength) != 1 ||
        std::strcmp(group, SN_X9_62_prime256v1) != 0) {
        return false;
    }
    // Rejects a scalar outside the group order and a stored public point that does not match.
    const KeyContext context(EVP_PKEY_CTX_new(key, nullptr));
    return context && EVP_PKEY_check(context.get()) == 1;
}

} // namespace

P256SigningKey P256SigningKey::fromPEM(QByteArrayView pem) {
    const PemBlock block = readSinglePemBlock(pem);
    EVP_PKEY* raw = nullptr;
    const bool labelledPkcs8 = block.label == "PRIVATE KEY";
    if ((labelledPkcs8 || block.label == "EC PRIVATE KEY") && isPkcs8(block.der) == labelledPkcs8) {
        raw = decodeEcKey(block.der);
    }
    std::shared_ptr<EVP_PKEY> key(raw, EVP_PKEY_free);
    if (!key || !isUsableP256Key(key.get())) {
        invalidKey();
    }
    return P256SigningKey(std::move(key));
}

QByteArray P256SigningKey::sign(QByteArrayView message) const {
    const auto failed = [] { return CryptoError(CryptoError::Kind::signingFailed); };
    const DigestContext context(EVP_MD_CTX_new());
    if (!context ||
        EVP_DigestSignInit(context.get(), nullptr, EVP_sha256(), nullptr, key_.get()) != 1) {
        throw failed();
    }
    const auto* input = reinterpret_cast<const unsigned char*>(message.data());
    const auto inputLength = static_cast<size_t>(message.size());
    size_t derLength = 0;
    if (EVP_DigestSign(context.get(), nullptr, &derLength, input, inputLength) != 1) {
        throw failed();
    }
    QByteArray der(static_cast<qsizetype>(derLength), Qt::Uninitialized);
    if (EVP_DigestSign(context.get(), reinterpret_cast<unsigned char*>(der.data()), &derLength,
                       input, inputLength) != 1) {
        throw failed();
    }
    // OpenSSL gives the DER SEQUENCE of two INTEGERs; JWS wants the fixed-width pair.
    auto* cursor = reinterpret_cast<const unsigned char*>(der.constData());
    const Signature signature(d2i_ECDSA_SIG(nullptr, &cursor, static_cast<long>(derLength)));
    if (!signature) {
        throw failed();
    }
    QByteArray raw(64, Qt::Uninitialized);
    auto* out = reinterpret_cast<unsigned char*>(raw.data());
    if (BN_bn2binpad(ECDSA_SIG_get0_r(signature.get()), out, 32) != 32 ||
        BN_bn2binpad(ECDSA_SIG_get0_s(signature.get()), out + 32, 32) != 32) {
        throw failed();
    }
    return raw;
}

} // namespace bw::crypto
