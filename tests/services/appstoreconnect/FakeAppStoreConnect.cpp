#include "tests/services/appstoreconnect/FakeAppStoreConnect.h"

#include "platform/json/JsonWriter.h"
#include "tests/platform/crypto/TestKeys.h"

namespace bw::test {
namespace {

const QString apiHost = "https://api.appstoreconnect.apple.com";

std::string text(const QJsonObject& document) {
    return json::write(document, json::Layout::pretty).toStdString();
}

} // namespace

QJsonObject ascResource(const QString& type, const QString& id, const QJsonObject& attributes) {
    return {{"type", type},
            {"id", id},
            {"attributes", attributes},
            {"links", QJsonObject{{"self", apiHost + "/v1/" + type + "/" + id}}}};
}

std::string ascList(const QString& path, const QJsonArray& data, const QJsonArray& included,
                    bool hasNextPage) {
    QJsonObject links{{"self", apiHost + "/" + path}};
    if (hasNextPage) {
        links["next"] = apiHost + "/" + path + "&cursor=eyJvZmZzZXQiOiIyMDAifQ";
    }
    QJsonObject document{{"data", data}, {"links", links}};
    if (!included.isEmpty()) {
        document["included"] = included;
    }
    return text(document);
}

std::string ascSingle(const QString& path, const QJsonValue& data) {
    return text({{"data", data}, {"links", QJsonObject{{"self", apiHost + "/" + path}}}});
}

std::string ascErrors(const QString& status, const QString& code, const QString& detail) {
    return text({{"errors", QJsonArray{QJsonObject{
                                {"status", status},
                                {"code", code},
                                {"detail", detail},
                            }}}});
}

test::ScriptedResponse htmlPage(int status, std::string body) {
    test::ScriptedResponse response(status, std::move(body));
    response.contentType = "text/html";
    return response;
}

FakeAppStoreConnect::FakeAppStoreConnect()
    : credentials_{"69a6de7e-3c1a-47e3-e053-5b8c7c11a4d1", "2X9R4HXF34",
                   QString::fromLatin1(makeTestKey(TestKey::p256Pkcs8))} {
    KeychainStore{"app.berthwatch.mac"}.save(
        QString::fromUtf8(json::write(toJson(credentials_), json::Layout::compact)),
        "app-store-connect-credentials");
}

void FakeAppStoreConnect::serve(const std::string& path, test::ScriptedResponse response) {
    server_.route("GET", path, std::move(response));
}

AppStoreConnectService FakeAppStoreConnect::service(AppStoreConnectService::Clock clock) const {
    return AppStoreConnectService(KeychainStore{"app.berthwatch.mac"}, server_.url(),
                                  std::move(clock));
}

std::vector<std::string> FakeAppStoreConnect::targets() const {
    std::vector<std::string> result;
    for (const test::RecordedRequest& request : server_.requests()) {
        result.push_back(request.target);
    }
    return result;
}

AppStoreConnectService::Clock FakeAppStoreConnect::fixedClock() {
    return [] { return QDateTime::fromSecsSinceEpoch(1785576600, Qt::UTC); };
}

} // namespace bw::test
