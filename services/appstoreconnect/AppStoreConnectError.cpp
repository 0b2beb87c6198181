#include "services/appstoreconnect/AppStoreConnectError.h"

namespace bw {

namespace {

QString describe(AppStoreConnectError::Kind kind, const QString& message) {
    switch (kind) {
    case AppStoreConnectError::Kind::api:
        return message;
    case AppStoreConnectError::Kind::notConnected:
        return QStringLiteral("App Store Connect is not connected.");
    case AppStoreConnectError::Kind::invalidCredentials:
        return QStringLiteral("The App Store Connect key could not create a valid ES256 token.");
    case AppStoreConnectError::Kind::invalidResponse:
        return QStringLiteral("App Store Connect returned an unreadable response.");
    case AppStoreConnectError::Kind::unreadableCredentials:
        return QStringLiteral("The App Store Connect key stored in the keychain could not be read: "
                              "%1.")
            .arg(message);
    }
    return {};
}

} // namespace

AppStoreConnectError::AppStoreConnectError(Kind kind) : AppStoreConnectError(kind, {}) {}

AppStoreConnectError::AppStoreConnectError(Kind kind, const QString& message)
    : DomainError(kind, describe(kind, message)) {}

AppStoreConnectError AppStoreConnectError::api(const QString& message) {
    return AppStoreConnectError(Kind::api, message);
}

AppStoreConnectError AppStoreConnectError::unreadableCredentials(const QString& reason) {
    return AppStoreConnectError(Kind::unreadableCredentials, reason);
}

} // namespace bw
