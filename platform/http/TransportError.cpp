#include "platform/http/TransportError.h"

namespace bw::http {

namespace {

QString fixedText(TransportError::Kind kind, const QString& detail) {
    switch (kind) {
    case TransportError::Kind::notConnected:
        return QStringLiteral("The computer is not connected to a network.");
    case TransportError::Kind::connectionLost:
        return QStringLiteral("The connection to the server was lost.");
    case TransportError::Kind::cannotConnectToHost:
        return QStringLiteral("Could not connect to the server.");
    case TransportError::Kind::cannotFindHost:
        return QStringLiteral("No server with the requested host name could be found.");
    case TransportError::Kind::timedOut:
        return QStringLiteral("The request timed out.");
    case TransportError::Kind::other:
        return detail;
    }
    return detail;
}

} // namespace

TransportError::TransportError(Kind kind, const QString& detail)
    : DomainError(kind, fixedText(kind, detail)) {}

} // namespace bw::http
