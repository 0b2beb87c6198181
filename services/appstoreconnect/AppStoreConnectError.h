#pragma once

#include "platform/core/DomainError.h"

#include <QString>

namespace bw {

enum class AppStoreConnectErrorKind { api, notConnected, invalidCredentials, invalidResponse };

// The failures of the App Store Connect token and client.
class AppStoreConnectError : public DomainError<AppStoreConnectErrorKind, QString> {
public:
    explicit AppStoreConnectError(Kind kind);
    // An error the API reported; `message` is shown as it is.
    static AppStoreConnectError api(const QString& message);

private:
    AppStoreConnectError(Kind kind, const QString& message);
};

} // namespace bw
