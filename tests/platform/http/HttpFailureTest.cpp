#include "platform/core/Cancelled.h"
#include "platform/http/HttpClient.h"
#include "platform/http/StatusText.h"
#include "tests/support/LocalHttpServer.h"
#include "tests/support/Thrown.h"

#include <gtest/gtest.h>
#include <thread>

namespace bw::http {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using test::LocalHttpServer;
using test::ScriptedResponse;

TransportError failureOf(const Request& request) {
    return test::thrown<TransportError>([&] { send(request); })
        .value_or(TransportError(TransportError::Kind::other, QStringLiteral("none")));
}

Request getRequest(const QUrl& url, std::chrono::milliseconds timeout = 5s) {
    Request request;
    request.url = url;
    request.timeout = timeout;
    return request;
}

TEST(HttpFailure, ConnectionFailuresAreClassified) {
    test::bypassProxies();
    test::RefusingPort refusing;
    LocalHttpServer server;
    ScriptedResponse stall{200, "late"};
    stall.delay = 5s;
    server.route("GET", "/stall", stall);
    ScriptedResponse cut{200, std::string(10000, 'c')};
    cut.closeAfterBytes = 100;
    server.route("GET", "/cut", cut);

    using Kind = TransportError::Kind;
    const struct {
        const char* name;
        QUrl url;
        Kind kind;
        const char* text;
    } cases[] = {
        {"refused", QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(refusing.port())),
         Kind::cannotConnectToHost, "Could not connect to the server."},
        {"unknown host", QUrl(QStringLiteral("http://%1/").arg(test::unresolvableHost())),
         Kind::cannotFindHost, "No server with the requested host name could be found."},
        {"stalled", server.url("/stall"), Kind::timedOut, "The request timed out."},
        {"closed mid-body", server.url("/cut"), Kind::connectionLost,
         "The connection to the server was lost."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto started = Clock::now();
        const TransportError error = failureOf(getRequest(c.url, 400ms));
        EXPECT_EQ(error.kind(), c.kind);
        EXPECT_EQ(error.description(), QString::fromUtf8(c.text));
        EXPECT_LT(Clock::now() - started, 1500ms);
    }
}

TEST(HttpFailure, TimeOutEndsTheRequestCloseToItsInterval) {
    LocalHttpServer server;
    ScriptedResponse stall{200, "late"};
    stall.delay = 10s;
    server.route("GET", "/stall", stall);
    const auto started = Clock::now();
    EXPECT_EQ(failureOf(getRequest(server.url("/stall"), 300ms)).kind(),
              TransportError::Kind::timedOut);
    const auto elapsed = Clock::now() - started;
    EXPECT_GE(elapsed, 290ms);
    EXPECT_LT(elapsed, 800ms);
}

TEST(HttpFailure, UntrustedCertificateIsAnOtherFailureWithLibraryText) {
    LocalHttpServer server(test::selfSignedTls());
    server.route("GET", "/", ScriptedResponse{200, "secret"});
    const TransportError error = failureOf(getRequest(server.url("/")));
    EXPECT_EQ(error.kind(), TransportError::Kind::other);
    EXPECT_TRUE(error.description().startsWith("The request could not be completed: "))
        << error.description().toStdString();
    EXPECT_TRUE(error.description().contains("certificate")) << error.description().toStdString();
    EXPECT_TRUE(server.requests().empty());
}

// A body of exactly the bound arrives; one byte more fails.
TEST(HttpFailure, ResponseOverTheSizeBoundFailsForBothFramings) {
    LocalHttpServer server;
    for (bool chunked : {false, true}) {
        SCOPED_TRACE(chunked ? "chunked" : "with length");
        ScriptedResponse scripted{200, std::string(4096, 'b')};
        scripted.chunked = chunked;
        server.route("GET", "/big", scripted);
        Request request = getRequest(server.url("/big"));
        request.maxResponseBytes = 4096;
        EXPECT_EQ(send(request).body.size(), 4096);
        scripted.body += 'b';
        server.route("GET", "/big", scripted);
        const TransportError error = failureOf(request);
        EXPECT_EQ(error.kind(), TransportError::Kind::other);
        EXPECT_EQ(error.description(), "The server’s response is larger than 4096 bytes.");
    }
}

TEST(HttpFailure, MalformedRequestsAreRefusedBeforeAnythingIsSent) {
    LocalHttpServer server;
    const struct {
        const char* name;
        Request request;
    } cases[] = {
        {"relative url", getRequest(QUrl("v1/items"))},
        {"other scheme", getRequest(QUrl("ftp://127.0.0.1/x"))},
        {"file url", getRequest(QUrl("file:///etc/passwd"))},
        {"header injection",
         [&] {
             Request r = getRequest(server.url("/"));
             r.headers = {{"Authorization", "Bearer a\r\nX-Injected: 1"}};
             return r;
         }()},
        {"colon in header name",
         [&] {
             Request r = getRequest(server.url("/"));
             r.headers = {{"X-A: b", "c"}};
             return r;
         }()},
        {"method with space",
         [&] {
             Request r = getRequest(server.url("/"));
             r.method = "GET /x";
             return r;
         }()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(failureOf(c.request).kind(), TransportError::Kind::other);
    }
    EXPECT_TRUE(server.requests().empty());
}

TEST(HttpFailure, CancellationEndsAWaitingRequestPromptly) {
    LocalHttpServer server;
    ScriptedResponse stall{200, "late"};
    stall.delay = 10s;
    server.route("GET", "/stall", stall);
    for (auto cancelAfter : {0ms, 50ms, 300ms}) {
        SCOPED_TRACE(cancelAfter.count());
        std::stop_source source;
        Clock::time_point cancelledAt;
        std::jthread canceller([&] {
            std::this_thread::sleep_for(cancelAfter);
            cancelledAt = Clock::now();
            source.request_stop();
        });
        EXPECT_THROW(send(getRequest(server.url("/stall"), 20s), source.get_token()), Cancelled);
        const auto finished = Clock::now();
        canceller.join();
        EXPECT_LT(finished - cancelledAt, 100ms);
    }
}

TEST(HttpFailure, AlreadyCancelledRequestSendsNothing) {
    LocalHttpServer server;
    std::stop_source source;
    source.request_stop();
    EXPECT_THROW(send(getRequest(server.url("/")), source.get_token()), Cancelled);
    EXPECT_TRUE(server.requests().empty());
}

TEST(StatusText, KnownCodesHaveTheirPhraseAndOthersTheirClass) {
    const std::vector<std::pair<int, const char*>> cases = {
        {404, "Not Found"},     {199, "Informational"},  {299, "Success"},
        {399, "Redirection"},   {418, "Client Error"},   {599, "Server Error"},
        {99, "Unknown Status"}, {600, "Unknown Status"}, {-404, "Unknown Status"},
    };
    for (const auto& [status, text] : cases) {
        EXPECT_EQ(statusText(status), QString::fromLatin1(text)) << status;
    }
}

} // namespace
} // namespace bw::http
