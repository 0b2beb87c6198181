#include "services/backend/BackendError.h"

namespace bw {

namespace {

QString describe(BackendError::Kind kind, const QString& message) {
    switch (kind) {
    case BackendError::Kind::quotaExceeded:
    case BackendError::Kind::conflict:
    case BackendError::Kind::outdatedApp:
    case BackendError::Kind::server:
        return message;
    case BackendError::Kind::invalidResponse:
        return QStringLiteral("The Berthwatch service returned an unreadable response.");
    case BackendError::Kind::unauthorized:
        return QStringLiteral(
            "The Berthwatch service did not accept the credentials sent with this request.");
    case BackendError::Kind::networkUnavailable:
        return QStringLiteral("Berthwatch could not reach the service. Check your internet "
                              "connection and try again.");
    }
    return message;
}

} // namespace

BackendError::BackendError(Kind kind, const QString& message)
    : DomainError(kind, describe(kind, message)) {}

} // namespace bw
