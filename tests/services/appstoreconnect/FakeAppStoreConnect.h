#pragma once

#include "services/appstoreconnect/AppStoreConnectService.h"
#include "tests/support/LocalHttpServer.h"

#include <QJsonArray>
#include <QJsonObject>
#include <string>
#include <vector>

namespace bw::test {

// A JSON:API resource the way App Store Connect sends it, with its own "self" link.
QJsonObject ascResource(const QString& type, const QString& id, const QJsonObject& attributes);

// A collection document: `data`, optional `included` and the links of a first page (with a
// "next" link when `hasNextPage`).
std::string ascList(const QString& path, const QJsonArray& data, const QJsonArray& included = {},
                    bool hasNextPage = false);

// A document whose `data` is one resource (or null).
std::string ascSingle(const QString& path, const QJsonValue& data);

// An error document as App Store Connect sends with a failing status.
std::string ascErrors(const QString& status, const QString& code, const QString& detail);

// A failure page of a proxy or web server in front of the API.
test::ScriptedResponse htmlPage(int status, std::string body);

// App Store Connect on 127.0.0.1, and the developer's API key stored in the test's private
// keychain under the application's account.
class FakeAppStoreConnect {
public:
    FakeAppStoreConnect();

    // Answers GET requests for `path` (without query).
    void serve(const std::string& path, test::ScriptedResponse response);
    void serve(const std::string& path, const std::string& json) { serve(path, {200, json}); }
    // Answers with a first page of `data` (and `included`) whose links name `path` itself.
    void serveList(const std::string& path, const QJsonArray& data, const QJsonArray& included = {},
                   bool hasNextPage = false) {
        serve(path, ascList(QString::fromStdString(path.substr(1)) + "?limit=200", data, included,
                            hasNextPage));
    }

    // A client of this server whose tokens are issued at the clock's times.
    AppStoreConnectService service(AppStoreConnectService::Clock clock = fixedClock()) const;

    // Paths and queries of the requests received, in order.
    std::vector<std::string> targets() const;
    std::vector<test::RecordedRequest> requests() const { return server_.requests(); }

    const AppStoreConnectCredentials& credentials() const { return credentials_; }

    static AppStoreConnectService::Clock fixedClock();

private:
    test::LocalHttpServer server_;
    AppStoreConnectCredentials credentials_;
};

} // namespace bw::test
