#include "services/appstoreconnect/AppStoreConnectError.h"

namespace bw {

AppStoreConnectError::AppStoreConnectError(Kind kind) : AppStoreConnectError(kind, {}) {}

AppStoreConnectError::AppStoreConnectError(Kind kind, QString message)
    : kind_(kind), message_(std::move(message)), what_(description().toUtf8()) {}

AppStoreConnectError AppStoreConnectError::api(const QString& message) {
    return AppStoreConnectError(Kind::api, message);
}

QString AppStoreConnectError::description() const {
    switch (kind_) {
    case Kind::api:
        return message_;
    case Kind::notConnected:
        return QStringLiteral("App Store Connect is not connected.");
    case Kind::invalidCredentials:
        return QStringLiteral("The App Store Connect key could not create a valid ES256 token.");
    case Kind::invalidResponse:
        return QStringLiteral("App Store Connect returned an unreadable response.");
    }
    return {};
}

} // namespace bw
