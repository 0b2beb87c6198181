#pragma once

#include "model/ScanReport.h"
#include "platform/json/JsonReader.h"
#include "services/backend/BackendError.h"
#include "services/backend/BuildReviewTypes.h"
#include "services/info/ApplicationInfo.h"

#include <QByteArray>
#include <QJsonValue>
#include <QUrl>
#include <chrono>
#include <optional>
#include <stop_token>

namespace bw {

// The client of the product's web service. It keeps nothing between calls, so one instance
// serves every thread. Every operation throws BackendError; a transport failure other than a
// lost or missing connection (a failed TLS handshake, for one) passes through as
// http::TransportError, and a cancelled call as bw::Cancelled.
class BerthwatchBackend {
public:
    // The service's own HTTPS origin, used when the application information names none.
    static QUrl defaultBaseURL();

    // The base URL under `BerthwatchBackendURL` of the compiled-in application information when
    // it is a string that parses as an absolute http or https URL, else the default.
    static QUrl resolveBaseURL();
    static QUrl resolveBaseURL(const ApplicationInfo& info);

    explicit BerthwatchBackend(QUrl baseURL);

    const QUrl& baseURL() const { return baseURL_; }

    // The base URL with `path` (relative, no leading slash) appended after exactly one slash.
    QUrl endpoint(const QString& path) const;

    BuildAnalysisResponse reviewBuildEvidence(const std::optional<QString>& token,
                                              const QString& scanIdentifier,
                                              const ScanReport& report,
                                              std::stop_token stop = {}) const;

    // One exchange with the service: sends `body` (when given) as compact JSON and decodes a
    // success body with `decode`; a body that does not decode is an unreadable response.
    template <typename Decode>
    auto send(const QString& path, const QByteArray& method, const std::optional<QString>& token,
              const std::optional<QJsonValue>& body, std::chrono::milliseconds timeout,
              std::stop_token stop, Decode decode) const {
        const QByteArray answer = exchange(path, method, token, body, timeout, std::move(stop));
        try {
            return decode(json::JsonReader(json::parseDocument(answer)));
        } catch (const json::DecodeError&) {
            throw BackendError(BackendError::Kind::invalidResponse);
        }
    }

private:
    // Performs the request and returns the body of a 2xx answer; throws for everything else.
    QByteArray exchange(const QString& path, const QByteArray& method,
                        const std::optional<QString>& token, const std::optional<QJsonValue>& body,
                        std::chrono::milliseconds timeout, std::stop_token stop) const;

    QUrl baseURL_;
};

} // namespace bw
