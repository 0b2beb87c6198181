#include "services/appstoreconnect/AppStoreConnectService.h"

#include "platform/http/HttpClient.h"
#include "platform/json/JsonReader.h"
#include "services/appstoreconnect/AppStoreConnectError.h"
#include "services/appstoreconnect/AppStoreConnectToken.h"

#include <chrono>

namespace bw {
namespace {

const char* const apiHost = "https://api.appstoreconnect.apple.com";
constexpr std::chrono::seconds requestTimeout{30};
// Asked right after a read the keychain answered, so only a keychain that stopped answering waits
// this long.
constexpr std::chrono::seconds keychainAnswerTime{10};

QString failureText(int status, const ASCDocument& document) {
    if (document.errors && !document.errors->empty() && document.errors->front().detail) {
        return *document.errors->front().detail;
    }
    return QStringLiteral("App Store Connect request failed (%1).").arg(status);
}

} // namespace

AppStoreConnectService::AppStoreConnectService()
    : AppStoreConnectService(KeychainStore{"app.berthwatch.mac"}, QUrl(apiHost, QUrl::StrictMode),
                             [] { return QDateTime::currentDateTimeUtc(); }) {
    // A constant of the program: if it does not parse, nothing else would work either.
    if (!baseURL_.isValid()) {
        qFatal("The App Store Connect API address does not parse.");
    }
}

AppStoreConnectService::AppStoreConnectService(KeychainStore keychain, QUrl baseURL, Clock clock)
    : keychain_(std::move(keychain)), credentialAccount_("app-store-connect-credentials"),
      baseURL_(std::move(baseURL)), clock_(std::move(clock)) {}

AppStoreConnectCredentials AppStoreConnectService::loadCredentials() const {
    const std::optional<QString> text = keychain_.read(credentialAccount_);
    if (!text) {
        // No text, yet an item: its data is not UTF-8.
        if (keychain_.contains(credentialAccount_, keychainAnswerTime)) {
            throw AppStoreConnectError::unreadableCredentials(QStringLiteral("it is not text"));
        }
        throw AppStoreConnectError(AppStoreConnectError::Kind::notConnected);
    }
    std::optional<json::Document> document;
    try {
        document.emplace(json::parseDocument(text->toUtf8()));
    } catch (const json::DecodeError&) {
        throw AppStoreConnectError::unreadableCredentials(QStringLiteral("it is not JSON"));
    }
    try {
        return decodeAppStoreConnectCredentials(json::JsonReader(std::move(*document)));
    } catch (const json::DecodeError& error) {
        throw AppStoreConnectError::unreadableCredentials(
            error.path().isEmpty()
                ? QStringLiteral("it is not a JSON object")
                : QStringLiteral("its member \u201C%1\u201D %2")
                      .arg(error.path(),
                           error.reason().contains(u"missing") ? u"is missing" : u"is not text"));
    }
}

ASCDocument AppStoreConnectService::get(const QString& path,
                                        const AppStoreConnectCredentials& credentials,
                                        std::stop_token stop) const {
    const QString token = makeToken(credentials, clock_());
    const QUrl relative(path, QUrl::StrictMode);
    if (!relative.isValid() || !relative.isRelative()) {
        throw AppStoreConnectError(AppStoreConnectError::Kind::invalidResponse);
    }
    http::Request request;
    request.method = "GET";
    request.url = baseURL_.resolved(relative);
    request.headers = {{"Authorization", "Bearer " + token.toLatin1()},
                       {"Accept", "application/json"}};
    request.timeout = requestTimeout;
    const http::Response response = http::send(request, stop);
    // The body is read before the status: a failure page that is not JSON fails as such.
    ASCDocument document = ASCDocument::decode(response.body);
    if (response.status < 200 || response.status > 299) {
        throw AppStoreConnectError::api(failureText(response.status, document));
    }
    return document;
}

} // namespace bw
