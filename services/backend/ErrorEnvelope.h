#pragma once

#include "services/backend/BackendError.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace bw {

// The body the web service sends with an error status.
struct ErrorEnvelope {
    QString error;

    bool operator==(const ErrorEnvelope&) const = default;
};

// Nothing when the body is not a JSON object with a string `error`.
std::optional<ErrorEnvelope> decodeErrorEnvelope(const QByteArray& body);

// The error for a status outside 200 to 299: the envelope's text when the body is one (an empty
// text stays empty), else the standard text of the status code.
BackendError backendErrorForStatus(int status, const QByteArray& body);

} // namespace bw
