#include "platform/http/HttpClient.h"
#include "services/backend/BerthwatchBackend.h"
#include "services/backend/BuildReviewJson.h"
#include "tests/services/backend/BackendTestSupport.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/Thrown.h"

#include <gtest/gtest.h>

namespace bw {
namespace {

using namespace std::chrono_literals;
using test::LocalHttpServer;
using test::ScriptedResponse;
using Kind = BackendError::Kind;

const char* const analyzePath = "/v1/scans/abc/analyze";
const QString offline = QStringLiteral(
    "Berthwatch could not reach the service. Check your internet connection and try again.");
const QString unreadable = "The Berthwatch service returned an unreadable response.";

std::optional<BackendError> reviewFailure(const BerthwatchBackend& backend) {
    return test::thrown<BackendError>(
        [&] { backend.reviewBuildEvidence(std::nullopt, "abc", test::sampleReport()); });
}

TEST(BackendTransport, ErrorStatusesAndUnreadableAnswersMapToTheirErrors) {
    const struct {
        const char* name;
        ScriptedResponse response;
        Kind kind;
        QString description;
    } cases[] = {
        {"401 with envelope", ScriptedResponse(401, R"({"error":"Token expired"})"),
         Kind::unauthorized,
         "The Berthwatch service did not accept the credentials sent with this request."},
        {"409 ruleset in capitals", ScriptedResponse(409, R"({"error":"RULESET 2026.08 retired"})"),
         Kind::outdatedApp, "RULESET 2026.08 retired"},
        {"409 other", ScriptedResponse(409, R"({"error":"Scan already analysed"})"), Kind::conflict,
         "Scan already analysed"},
        {"429", ScriptedResponse(429, R"({"error":"Daily quota reached","retry":60})"),
         Kind::quotaExceeded, "Daily quota reached"},
        {"500 with envelope", ScriptedResponse(500, R"({"error":"Model unavailable"})"),
         Kind::server, "Model unavailable"},
        {"500 without body", ScriptedResponse(500, ""), Kind::server, "Internal Server Error"},
        {"200 empty", ScriptedResponse(200, ""), Kind::invalidResponse, unreadable},
    };
    LocalHttpServer server;
    const BerthwatchBackend backend(server.url());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        server.route("POST", analyzePath, c.response);
        const auto error = reviewFailure(backend);
        ASSERT_TRUE(error);
        EXPECT_EQ(error->kind(), c.kind);
        EXPECT_EQ(error->description(), c.description);
    }
}

TEST(BackendTransport, ConnectionFailuresAreNetworkUnavailable) {
    test::bypassProxies();
    test::RefusingPort refusing;
    LocalHttpServer server;
    ScriptedResponse stall = ScriptedResponse(200, test::minimalAnalysis);
    stall.delay = 10s;
    server.route("POST", "/stall", stall);
    ScriptedResponse cut = ScriptedResponse(200, test::minimalAnalysis);
    cut.closeAfterBytes = 20;
    server.route("POST", "/cut", cut);

    const struct {
        const char* name;
        QUrl base;
        QString path;
    } cases[] = {
        {"refused", QUrl(QString("http://127.0.0.1:%1").arg(refusing.port())), "v1/x"},
        {"unknown host", QUrl(QString("http://%1").arg(test::unresolvableHost())), "v1/x"},
        {"stalled past the time-out", server.url(), "stall"},
        {"closed mid-response", server.url(), "cut"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const BerthwatchBackend backend(c.base);
        const auto error = test::thrown<BackendError>([&] {
            backend.send(c.path, "POST", std::nullopt, QJsonObject(), 300ms, {},
                         decodeBuildAnalysisResponse);
        });
        ASSERT_TRUE(error);
        EXPECT_EQ(error->kind(), Kind::networkUnavailable);
        EXPECT_EQ(error->description(), offline);
    }
}

TEST(BackendTransport, OtherTransportFailuresPassThroughUnchanged) {
    LocalHttpServer plain;
    ScriptedResponse huge =
        ScriptedResponse(200, std::string(http::defaultMaxResponseBytes + 1, ' '));
    huge.chunked = true;
    plain.route("POST", analyzePath, huge);
    const BerthwatchBackend backend(plain.url());
    const auto error = test::thrown<http::TransportError>(
        [&] { backend.reviewBuildEvidence(std::nullopt, "abc", test::sampleReport()); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind(), http::TransportError::Kind::other);
    EXPECT_EQ(error->description(), "The server’s response is larger than 32 MiB.");
}

TEST(BackendTransport, HeadersFollowTokenAndBody) {
    LocalHttpServer server;
    server.route("POST", analyzePath, ScriptedResponse(200, test::minimalAnalysis));
    const BerthwatchBackend backend(server.url());

    backend.reviewBuildEvidence("tok-123", "abc", test::sampleReport());
    backend.reviewBuildEvidence(std::nullopt, "abc", test::sampleReport());
    backend.reviewBuildEvidence(QString(), "abc", test::sampleReport());

    const auto seen = server.requests();
    ASSERT_EQ(seen.size(), 3u);
    for (const auto& request : seen) {
        EXPECT_EQ(request.header("Accept"), "application/json");
        EXPECT_EQ(request.headerCount("Accept"), 1u);
    }
    EXPECT_EQ(seen[0].header("Authorization"), "Bearer tok-123");
    EXPECT_EQ(seen[0].header("Content-Type"), "application/json");
    EXPECT_EQ(seen[1].headerCount("Authorization"), 0u);
    // An empty token still sends the scheme; the server sees it with trailing blanks removed.
    EXPECT_EQ(seen[2].header("Authorization"), "Bearer");
}

QByteArray infoList(const QByteArray& entries) {
    return R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict>)" +
           entries + "</dict></plist>";
}

QByteArray backendUrl(const QByteArray& value) {
    return infoList("<key>BerthwatchBackendURL</key><string>" + value + "</string>");
}

// Only a readable information list with a usable URL changes the address.
TEST(BaseUrl, ConfiguredValueIsUsedOnlyWhenItIsAUsableUrl) {
    const QUrl fallback = BerthwatchBackend::defaultBaseURL();
    const struct {
        const char* name;
        QByteArray bytes;
        QUrl expected;
    } cases[] = {
        {"leading space", backendUrl(" https://a.test"), fallback},
        {"relative", backendUrl("service/api"), fallback},
        {"other scheme", backendUrl("ftp://a.test"), fallback},
        {"path kept", backendUrl("https://a.test/api/v2"), QUrl("https://a.test/api/v2")},
        {"not a property list", "not a property list", fallback},
    };
    for (const auto& c : cases) {
        const ApplicationInfo info = ApplicationInfo::fromPropertyList(c.bytes);
        EXPECT_EQ(BerthwatchBackend::resolveBaseURL(info), c.expected) << c.name;
    }
}

TEST(BaseUrl, CompiledInInformationNamesTheBuild) {
    const ApplicationInfo& info = ApplicationInfo::main();
    EXPECT_EQ(info.string("CFBundleShortVersionString"), QStringLiteral(BW_PROJECT_VERSION));
    EXPECT_EQ(info.string("CFBundleVersion"), QStringLiteral(BW_BUILD_NUMBER));
    // The test build names no service: the built-in address applies.
    EXPECT_EQ(info.string("BerthwatchBackendURL"), std::nullopt);
    EXPECT_EQ(BerthwatchBackend::resolveBaseURL(), BerthwatchBackend::defaultBaseURL());
}

TEST(BaseUrl, PathIsAppendedAfterExactlyOneSlash) {
    const struct {
        const char* base;
        QString path;
        const char* expected;
    } cases[] = {
        {"https://a.test", "v1/scans/abc/analyze", "https://a.test/v1/scans/abc/analyze"},
        {"https://a.test/api/", "v1/x", "https://a.test/api/v1/x"},
        {"https://a.test", "v1/scans/a b?c#d%/analyze",
         "https://a.test/v1/scans/a%20b%3Fc%23d%25/analyze"},
    };
    for (const auto& c : cases) {
        const BerthwatchBackend backend{QUrl(c.base)};
        EXPECT_EQ(backend.endpoint(c.path).toString(QUrl::FullyEncoded), c.expected) << c.base;
    }
}

} // namespace
} // namespace bw
