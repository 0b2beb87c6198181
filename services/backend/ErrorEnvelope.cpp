#include "services/backend/ErrorEnvelope.h"

#include "platform/http/StatusText.h"
#include "platform/json/JsonReader.h"

namespace bw {

std::optional<ErrorEnvelope> decodeErrorEnvelope(const QByteArray& body) {
    try {
        const json::JsonReader reader(json::parseDocument(body));
        return ErrorEnvelope{json::stringAt(reader, u"error")};
    } catch (const json::DecodeError&) {
        return std::nullopt;
    }
}

BackendError backendErrorForStatus(int status, const QByteArray& body) {
    using Kind = BackendError::Kind;
    const std::optional<ErrorEnvelope> envelope = decodeErrorEnvelope(body);
    const QString message = envelope ? envelope->error : http::statusText(status);
    switch (status) {
    case 401:
        return BackendError(Kind::unauthorized);
    case 409: {
        const bool outdated = message.contains(u"ruleset", Qt::CaseInsensitive) ||
                              message.contains(u"out of date", Qt::CaseInsensitive);
        return BackendError(outdated ? Kind::outdatedApp : Kind::conflict, message);
    }
    case 429:
        return BackendError(Kind::quotaExceeded, message);
    default:
        return BackendError(Kind::server, message);
    }
}

} // namespace bw
