#pragma once

#include "platform/core/DomainError.h"

#include <QString>

namespace bw {

enum class AppStoreConnectErrorKind {
    api,
    notConnected,
    invalidCredentials,
    invalidResponse,
    unreadableCredentials
};

// The failures of the App Store Connect token and client.
class AppStoreConnectError : public DomainError<AppStoreConnectErrorKind, QString> {
public:
    explicit AppStoreConnectError(Kind kind);
    // An error the API reported; `message` is shown as it is.
    static AppStoreConnectError api(const QString& message);
    // A keychain item that is there but holds no credentials; `reason` says why ("it is not
    // JSON").
    static AppStoreConnectError unreadableCredentials(const QString& reason);

private:
    AppStoreConnectError(Kind kind, const QString& message);
};

} // namespace bw
