#pragma once

#include "model/BuildMetadata.h"
#include "platform/keychain/KeychainStore.h"
#include "services/appstoreconnect/ASCDocument.h"
#include "services/appstoreconnect/AppStoreConnectAudit.h"
#include "services/appstoreconnect/AppStoreConnectCredentials.h"

#include <QDateTime>
#include <QString>
#include <QUrl>
#include <functional>
#include <stop_token>

namespace bw {

// The application's read-only client of Apple's App Store Connect API. It keeps no state between
// calls: every audit reads the credentials from the keychain again and every request carries a
// freshly signed token, so calls from several threads never interfere.
class AppStoreConnectService {
public:
    using Clock = std::function<QDateTime()>;

    // The application's client: keychain service "app.berthwatch.mac", Apple's API host.
    AppStoreConnectService();
    // `baseURL` is scheme and host (and port) only; `clock` gives the time each token is issued.
    AppStoreConnectService(KeychainStore keychain, QUrl baseURL, Clock clock);

    const KeychainStore& keychain() const { return keychain_; }
    const QString& credentialAccount() const { return credentialAccount_; }
    const QUrl& baseURL() const { return baseURL_; }

    // The credentials item of the keychain. Throws KeychainStoreError when the keychain refuses,
    // AppStoreConnectError(notConnected) when there is no item, and
    // AppStoreConnectError(unreadableCredentials) when the item is no credentials object.
    AppStoreConnectCredentials loadCredentials() const;

    // One GET of `path` (relative to the base URL, with its query already percent-encoded).
    // Throws the token's errors, AppStoreConnectError, http::TransportError, json::DecodeError
    // for a body that is not a JSON object, and Cancelled.
    ASCDocument get(const QString& path, const AppStoreConnectCredentials& credentials,
                    std::stop_token stop = {}) const;

    // Compares the build with its App Store Connect record. Throws what loadCredentials() and
    // the app and version requests throw; later requests that fail are reported in the result.
    AppStoreConnectAudit audit(const BuildMetadata& metadata, std::stop_token stop = {}) const;

private:
    KeychainStore keychain_;
    QString credentialAccount_;
    QUrl baseURL_;
    Clock clock_;
};

} // namespace bw
