#pragma once

#include <QString>
#include <stdexcept>

namespace bw::http {

// A request that produced no HTTP response. The connection failures are told apart because
// callers treat them as "offline"; everything else (TLS, a response over the size bound, a
// malformed request) is `other` and carries its own text. Cancellation is not a transport
// failure: it throws the shared `bw::Cancelled`.
class TransportError : public std::runtime_error {
public:
    enum class Kind {
        notConnected,
        connectionLost,
        cannotConnectToHost,
        cannotFindHost,
        timedOut,
        other,
    };

    // `detail` is shown for `other` and ignored by the other kinds, whose texts are fixed.
    explicit TransportError(Kind kind, const QString& detail = {});

    Kind kind() const { return kind_; }
    QString description() const;

private:
    Kind kind_;
    QString detail_;
};

} // namespace bw::http
