#pragma once

#include <QString>
#include <stdexcept>

namespace bw {

// The failures of the web-service client, each with the text shown to the user. The cases that
// carry a message show it as it stands.
class BackendError : public std::runtime_error {
public:
    enum class Kind {
        quotaExceeded,
        conflict,
        outdatedApp,
        server,
        invalidResponse,
        unauthorized,
        networkUnavailable,
    };

    // `message` belongs to quotaExceeded, conflict, outdatedApp and server; the others ignore it.
    explicit BackendError(Kind kind, const QString& message = {});

    Kind kind() const { return kind_; }
    QString description() const;

private:
    Kind kind_;
    QString message_;
};

} // namespace bw
