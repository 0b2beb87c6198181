#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace bw::test {

// Fresh keys in the PEM forms a developer might paste, made with OpenSSL for each test.
enum class TestKey {
    p256Pkcs8,
    p256Sec1,
    p256EncryptedSec1,
    p384Pkcs8,
    rsaPkcs8,
};

QByteArray makeTestKey(TestKey kind);

// Checks a 64-byte r-then-s ES256 signature with the public half of a PEM private key, using
// OpenSSL alone.
bool verifiesES256(QByteArrayView privateKeyPem, QByteArrayView message, QByteArrayView raw);

} // namespace bw::test
