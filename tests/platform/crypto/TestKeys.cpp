#include "tests/platform/crypto/TestKeys.h"

#include <memory>
#include <openssl/bio.h>
#include <openssl/ec.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>
#include <stdexcept>

namespace bw::test {
namespace {

using Key = std::unique_ptr<EVP_PKEY, decltype([](EVP_PKEY* key) { EVP_PKEY_free(key); })>;
using Bio = std::unique_ptr<BIO, decltype([](BIO* bio) { BIO_free(bio); })>;

Key generate(TestKey kind) {
    switch (kind) {
    case TestKey::p384Pkcs8:
        return Key(EVP_EC_gen("P-384"));
    case TestKey::rsaPkcs8:
        return Key(EVP_RSA_gen(2048));
    default:
        return Key(EVP_EC_gen("P-256"));
    }
}

QByteArray contents(BIO* bio) {
    char* data = nullptr;
    const long length = BIO_get_mem_data(bio, &data);
    return QByteArray(data, length);
}

} // namespace

QByteArray makeTestKey(TestKey kind) {
    const Key key = generate(kind);
    const Bio bio(BIO_new(BIO_s_mem()));
    if (!key || !bio) {
        throw std::runtime_error("OpenSSL could not make a test key");
    }
    static char passphrase[] = "secret";
    int written = 0;
    switch (kind) {
    case TestKey::p256Sec1:
        written = PEM_write_bio_PrivateKey_traditional(bio.get(), key.get(), nullptr, nullptr, 0,
                                                       nullptr, nullptr);
        break;
    case TestKey::p256EncryptedSec1:
        written = PEM_write_bio_PrivateKey_traditional(bio.get(), key.get(), EVP_aes_256_cbc(),
                                                       nullptr, 0, nullptr, passphrase);
        break;
    default:
        written =
            PEM_write_bio_PrivateKey(bio.get(), key.get(), nullptr, nullptr, 0, nullptr, nullptr);
    }
    if (written != 1) {
        throw std::runtime_error("OpenSSL could not write a test key");
    }
    return contents(bio.get());
}

bool verifiesES256(QByteArrayView privateKeyPem, QByteArrayView message, QByteArrayView raw) {
    if (raw.size() != 64) {
        return false;
    }
    const Bio bio(BIO_new_mem_buf(privateKeyPem.data(), static_cast<int>(privateKeyPem.size())));
    const Key key(PEM_read_bio_PrivateKey(bio.get(), nullptr, nullptr, nullptr));
    if (!key) {
        return false;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(raw.data());
    ECDSA_SIG* signature = ECDSA_SIG_new();
    ECDSA_SIG_set0(signature, BN_bin2bn(bytes, 32, nullptr), BN_bin2bn(bytes + 32, 32, nullptr));
    unsigned char* der = nullptr;
    const int derLength = i2d_ECDSA_SIG(signature, &der);
    ECDSA_SIG_free(signature);
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    const bool verified =
        derLength > 0 &&
        EVP_DigestVerifyInit(context, nullptr, EVP_sha256(), nullptr, key.get()) == 1 &&
        EVP_DigestVerify(context, der, static_cast<size_t>(derLength),
                         reinterpret_cast<const unsigned char*>(message.data()),
                         static_cast<size_t>(message.size())) == 1;
    EVP_MD_CTX_free(context);
    OPENSSL_free(der);
    return verified;
}

} // namespace bw::test
