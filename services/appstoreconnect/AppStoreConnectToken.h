#pragma once

#include "services/appstoreconnect/AppStoreConnectCredentials.h"

#include <QDateTime>
#include <QString>

namespace bw {

// Seconds from issue to expiry of every token.
inline constexpr qint64 appStoreConnectTokenLifetime = 1100;

// A signed ES256 JSON Web Token for one request to the App Store Connect API, issued at `now`.
// A private key that is not a P-256 PEM key throws AppStoreConnectError(invalidCredentials)
// before anything else is done; a signing failure throws the crypto layer's own error.
QString makeToken(const AppStoreConnectCredentials& credentials, const QDateTime& now);

} // namespace bw
