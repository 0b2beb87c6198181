#include "services/backend/BerthwatchBackend.h"

#include "platform/http/HttpClient.h"
#include "platform/json/JsonWriter.h"
#include "services/backend/ErrorEnvelope.h"

namespace bw {

namespace {

bool isUsableBaseURL(const QUrl& url) {
    const QString scheme = url.scheme();
    return url.isValid() && !url.host().isEmpty() &&
           (scheme == QLatin1String("https") || scheme == QLatin1String("http"));
}

bool meansNoConnection(http::TransportError::Kind kind) {
    switch (kind) {
    case http::TransportError::Kind::notConnected:
    case http::TransportError::Kind::connectionLost:
    case http::TransportError::Kind::cannotConnectToHost:
    case http::TransportError::Kind::cannotFindHost:
    case http::TransportError::Kind::timedOut:
        return true;
    case http::TransportError::Kind::other:
        return false;
    }
    return false;
}

} // namespace

QUrl BerthwatchBackend::defaultBaseURL() {
    return QUrl(QStringLiteral("https://service.berthwatch.app"));
}

QUrl BerthwatchBackend::resolveBaseURL() {
    return resolveBaseURL(ApplicationInfo::main());
}

QUrl BerthwatchBackend::resolveBaseURL(const ApplicationInfo& info) {
    if (const std::optional<QString> configured =
            info.string(QStringLiteral("BerthwatchBackendURL"))) {
        const QUrl url(*configured, QUrl::StrictMode);
        if (isUsableBaseURL(url)) {
            return url;
        }
    }
    return defaultBaseURL();
}

BerthwatchBackend::BerthwatchBackend(QUrl baseURL) : baseURL_(std::move(baseURL)) {}

QUrl BerthwatchBackend::endpoint(const QString& path) const {
    QByteArray joined = baseURL_.path(QUrl::FullyEncoded).toUtf8();
    if (!joined.endsWith('/')) {
        joined += '/';
    }
    joined += path.toUtf8().toPercentEncoding("/");
    QUrl url = baseURL_;
    url.setPath(QString::fromLatin1(joined), QUrl::TolerantMode);
    return url;
}

QByteArray BerthwatchBackend::exchange(const QString& path, const QByteArray& method,
                                       const std::optional<QString>& token,
                                       const std::optional<QJsonValue>& body,
                                       std::chrono::milliseconds timeout,
                                       std::stop_token stop) const {
    http::Request request;
    request.method = method;
    request.url = endpoint(path);
    request.timeout = timeout;
    request.headers.push_back({"Accept", "application/json"});
    if (token) {
        request.headers.push_back({"Authorization", "Bearer " + token->toUtf8()});
    }
    if (body) {
        request.body = json::write(*body, json::Layout::compact);
        request.headers.push_back({"Content-Type", "application/json"});
    }

    http::Response response;
    try {
        response = http::send(request, std::move(stop));
    } catch (const http::TransportError& error) {
        if (meansNoConnection(error.kind())) {
            throw BackendError(BackendError::Kind::networkUnavailable);
        }
        throw;
    }
    if (response.status < 200 || response.status > 299) {
        throw backendErrorForStatus(response.status, response.body);
    }
    return response.body;
}

} // namespace bw
