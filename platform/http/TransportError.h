#pragma once

#include "platform/core/DomainError.h"

#include <QString>

namespace bw::http {

enum class TransportErrorKind {
    notConnected,
    connectionLost,
    cannotConnectToHost,
    cannotFindHost,
    timedOut,
    other,
};

// A request that produced no HTTP response. The connection failures are told apart because
// callers treat them as "offline"; everything else (TLS, a response over the size bound, a
// malformed request) is `other` and carries its own text. Cancellation is not a transport
// failure: it throws the shared `bw::Cancelled`.
class TransportError : public DomainError<TransportErrorKind, QString> {
public:
    // `detail` is shown for `other` and ignored by the other kinds, whose texts are fixed.
    explicit TransportError(Kind kind, const QString& detail = {});
};

} // namespace bw::http
