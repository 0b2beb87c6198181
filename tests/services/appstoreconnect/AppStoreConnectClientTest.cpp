#include "platform/http/TransportError.h"
#include "services/appstoreconnect/AppStoreConnectError.h"
#include "tests/platform/crypto/TestKeys.h"
#include "tests/services/appstoreconnect/FakeAppStoreConnect.h"
#include "tests/support/RunTool.h"
#include "tests/support/Thrown.h"

#include <gtest/gtest.h>
#include <set>

using namespace bw;
using namespace bw::test;

namespace {

const KeychainStore keychain{"app.berthwatch.mac"};

QByteArray segment(const QString& token, int index) {
    return QByteArray::fromBase64(token.section('.', index, index).toLatin1(),
                                  QByteArray::Base64UrlEncoding);
}

QString tokenOf(const test::RecordedRequest& request) {
    const std::string authorization = request.header("Authorization").value_or("");
    EXPECT_EQ(authorization.rfind("Bearer ", 0), 0u) << authorization;
    return QString::fromStdString(authorization.substr(7));
}

} // namespace

TEST(AppStoreConnectClient, SendsOneSignedGetPerRequest) {
    FakeAppStoreConnect fake;
    fake.serve("/v1/apps/1234567890",
               ascSingle("v1/apps/1234567890", ascResource("apps", "1234567890", {{"name", "A"}})));
    qint64 now = 1785576600;
    const AppStoreConnectService service = fake.service(
        [&now] { return QDateTime::fromMSecsSinceEpoch(now++ * 1000 + 999, Qt::UTC); });

    const ASCDocument document = service.get("v1/apps/1234567890", fake.credentials());
    ASSERT_EQ(document.data.size(), 1u);
    EXPECT_EQ(document.data[0].stringAttribute("name"), "A");
    service.get("v1/apps/1234567890?fields%5Bapps%5D=name", fake.credentials());

    const std::vector<test::RecordedRequest> requests = fake.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].target, "/v1/apps/1234567890?fields%5Bapps%5D=name");
    for (const test::RecordedRequest& request : requests) {
        EXPECT_EQ(request.method, "GET");
        EXPECT_EQ(request.header("Accept"), "application/json");
        EXPECT_EQ(request.headerCount("Authorization"), 1u);
        EXPECT_TRUE(request.body.empty());
        // Only the two headers of the request and what HTTP itself needs go out; the test server
        // adds the connection's addresses.
        std::set<std::string> names;
        for (const auto& [name, value] : request.headers) {
            names.insert(QString::fromStdString(name).toLower().toStdString());
        }
        EXPECT_EQ(names, (std::set<std::string>{"accept", "accept-encoding", "authorization",
                                                "host", "local_addr", "local_port", "remote_addr",
                                                "remote_port"}));
    }
    // A fresh token per request, signed with the stored key.
    EXPECT_TRUE(segment(tokenOf(requests[1]), 1).contains(R"("iat":1785576601)"));
    const QString first = tokenOf(requests[0]);
    const qsizetype dot = first.lastIndexOf('.');
    EXPECT_TRUE(verifiesES256(fake.credentials().privateKeyPEM.toLatin1(),
                              first.left(dot).toLatin1(), segment(first, 2)));
}

TEST(AppStoreConnectClient, FailedStatusesCarryTheFirstErrorDetail) {
    struct Case {
        const char* name;
        int status;
        std::string body;
        const char* expected;
    };
    const Case cases[] = {
        {"404 with an empty object", 404, "{}", "App Store Connect request failed (404)."},
        {"403 whose first error has no detail", 403,
         R"({"errors":[{"status":"403","code":"FORBIDDEN"},{"detail":"second"}]})",
         "App Store Connect request failed (403)."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeAppStoreConnect fake;
        fake.serve("/v1/apps", {c.status, c.body});
        const AppStoreConnectService service = fake.service();
        const auto error = thrown<AppStoreConnectError>(
            [&] { service.get("v1/apps?limit=1", fake.credentials()); });
        ASSERT_TRUE(error);
        EXPECT_EQ(error->kind(), AppStoreConnectError::Kind::api);
        EXPECT_EQ(error->description(), c.expected);
    }
}

TEST(AppStoreConnectClient, AnUnusableKeySendsNothing) {
    FakeAppStoreConnect fake;
    AppStoreConnectCredentials credentials = fake.credentials();
    credentials.privateKeyPEM = QString::fromLatin1(makeTestKey(TestKey::p384Pkcs8));
    EXPECT_EQ(thrownKind<AppStoreConnectError>([&] { fake.service().get("v1/apps", credentials); }),
              AppStoreConnectError::Kind::invalidCredentials);
    EXPECT_TRUE(fake.requests().empty());
}

TEST(AppStoreConnectClient, PathsThatAreNotUrlsAreRefused) {
    FakeAppStoreConnect fake;
    for (const char* path : {"v1/apps/a b", "v1/apps/%zz", "https://example.com/v1/apps"}) {
        EXPECT_EQ(
            thrownKind<AppStoreConnectError>([&] { fake.service().get(path, fake.credentials()); }),
            AppStoreConnectError::Kind::invalidResponse)
            << path;
    }
    EXPECT_TRUE(fake.requests().empty());
}

TEST(AppStoreConnectClient, TransportFailuresPassThrough) {
    FakeAppStoreConnect fake;
    const test::RefusingPort refusing;
    const AppStoreConnectService service(
        keychain, QUrl(QStringLiteral("http://127.0.0.1:%1").arg(refusing.port())),
        FakeAppStoreConnect::fixedClock());
    EXPECT_EQ(thrownKind<http::TransportError>([&] { service.get("v1/apps", fake.credentials()); }),
              http::TransportError::Kind::cannotConnectToHost);
}

// The stored item's three members make the credentials (other members ignored); anything else
// says why it cannot be used.
TEST(AppStoreConnectClient, CredentialsComeFromTheKeychainItemOrSayWhyNot) {
    const QString unreadable =
        "The App Store Connect key stored in the keychain could not be read: ";
    const std::pair<const char*, QString> items[] = {
        {R"({"keyID":"K","privateKeyPEM":"P","issuerID":"I","note":"ignored"})", "I K P"},
        {R"({"issuerID":"I","keyID":"K"})",
         unreadable + "its member \u201CprivateKeyPEM\u201D is missing."},
        {R"({"issuerID":"I","keyID":7,"privateKeyPEM":"P"})",
         unreadable + "its member \u201CkeyID\u201D is not text."},
        {"this is {not json", unreadable + "it is not JSON."},
        {R"(["I","K","P"])", unreadable + "it is not a JSON object."},
    };
    const AppStoreConnectService service(keychain, QUrl("http://127.0.0.1:9"),
                                         FakeAppStoreConnect::fixedClock());
    const auto loaded = [&] {
        try {
            const AppStoreConnectCredentials c = service.loadCredentials();
            return c.issuerID + " " + c.keyID + " " + c.privateKeyPEM;
        } catch (const AppStoreConnectError& error) {
            return error.description();
        }
    };
    // Whatever an earlier test of this process stored goes first (secret-tool fails when there
    // was nothing to clear).
    test::runTool("secret-tool", {"clear", "service", "app.berthwatch.mac", "account",
                                  "app-store-connect-credentials"});
    EXPECT_EQ(loaded(), "App Store Connect is not connected.") << "no item";
    // Data that is not UTF-8, stored as the README tells a user to store the key.
    const test::ToolRun stored = test::runTool(
        "sh", {"-c", "printf 'caf\\303' | secret-tool store --label=Berthwatch service "
                     "app.berthwatch.mac account app-store-connect-credentials"});
    ASSERT_EQ(stored.exitStatus, 0) << stored.standardError;
    EXPECT_EQ(loaded(), unreadable + "it is not text.");
    for (const auto& [item, expected] : items) {
        keychain.save(item, "app-store-connect-credentials");
        EXPECT_EQ(loaded(), expected) << item;
    }
    // The item the fake stores is read back whole.
    FakeAppStoreConnect fake;
    EXPECT_EQ(service.loadCredentials(), fake.credentials());
}
