#include "services/appstoreconnect/AppStoreConnectToken.h"

#include "platform/crypto/CryptoError.h"
#include "platform/crypto/P256SigningKey.h"
#include "platform/json/JsonWriter.h"
#include "services/appstoreconnect/AppStoreConnectError.h"

#include <QJsonObject>

namespace bw {
namespace {

QByteArray base64Url(const QByteArray& bytes) {
    return bytes.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals);
}

QByteArray segment(const QJsonObject& object) {
    return base64Url(json::write(object, json::Layout::compact));
}

crypto::P256SigningKey signingKey(const QString& pem) {
    try {
        return crypto::P256SigningKey::fromPEM(pem.toUtf8());
    } catch (const crypto::CryptoError&) {
        throw AppStoreConnectError(AppStoreConnectError::Kind::invalidCredentials);
    }
}

} // namespace

QString makeToken(const AppStoreConnectCredentials& credentials, const QDateTime& now) {
    const crypto::P256SigningKey key = signingKey(credentials.privateKeyPEM);
    // Integer division truncates toward zero, as the issue time must.
    const qint64 issuedAt = now.toMSecsSinceEpoch() / 1000;
    const QJsonObject header{{"alg", "ES256"}, {"kid", credentials.keyID}, {"typ", "JWT"}};
    const QJsonObject claims{{"iss", credentials.issuerID},
                             {"iat", issuedAt},
                             {"exp", issuedAt + appStoreConnectTokenLifetime},
                             {"aud", "appstoreconnect-v1"}};
    const QByteArray signingInput = segment(header) + '.' + segment(claims);
    return QString::fromLatin1(signingInput + '.' + base64Url(key.sign(signingInput)));
}

} // namespace bw
