#pragma once

#include "platform/core/DomainError.h"

#include <QString>

namespace bw {

enum class BackendErrorKind {
    quotaExceeded,
    conflict,
    outdatedApp,
    server,
    invalidResponse,
    unauthorized,
    networkUnavailable,
};

// The failures of the web-service client, each with the text shown to the user. The cases that
// carry a message show it as it stands.
class BackendError : public DomainError<BackendErrorKind, QString> {
public:
    // `message` belongs to quotaExceeded, conflict, outdatedApp and server; the others ignore it.
    explicit BackendError(Kind kind, const QString& message = {});
};

} // namespace bw
