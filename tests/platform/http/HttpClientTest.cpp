#include "platform/http/HttpClient.h"

#include "platform/core/Cancelled.h"
#include "platform/http/StatusText.h"
#include "tests/support/LocalHttpServer.h"
#include "tests/support/Thrown.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <set>
#include <sys/socket.h>
#include <thread>

namespace bw::http {
namespace {

using test::LocalHttpServer;

// This process's open TCP connections to the local `port` that a started program would inherit.
int inheritableConnectionsTo(int port) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        const int fd = std::stoi(entry.path().filename().string());
        sockaddr_in peer{};
        socklen_t length = sizeof(peer);
        if (getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &length) == 0 &&
            peer.sin_family == AF_INET && ntohs(peer.sin_port) == port &&
            (fcntl(fd, F_GETFD) & FD_CLOEXEC) == 0) {
            ++count;
        }
    }
    return count;
}
using test::ScriptedResponse;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(HttpClient, SendsExactlyTheRequestItIsGiven) {
    LocalHttpServer server;
    server.route("GET", "/v1/items/abc", ScriptedResponse{201, "made"});
    server.route("POST", "/v1/items/abc", ScriptedResponse{201, "made"});
    // Method, body, and the Content-Length the server must see. The backend's tests send headers.
    const std::tuple<QByteArray, std::optional<QByteArray>, std::optional<std::string>> cases[] = {
        {"GET", std::nullopt, std::nullopt},
        {"POST", QByteArray(R"({"a":1})"), "7"},
        {"POST", std::nullopt, "0"},
    };
    for (const auto& [method, body, contentLength] : cases) {
        Request request;
        request.method = method;
        request.url = server.url("/v1/items/abc?x=1");
        if (body) {
            request.headers = {{"Content-Type", "application/json"}};
        }
        request.body = body;
        const Response response = send(request);
        EXPECT_EQ(std::pair(response.status, response.body), std::pair(201, QByteArray("made")));
        const auto seen = server.requests().back();
        EXPECT_EQ(std::tuple(seen.method, seen.target, seen.body, seen.header("Content-Length")),
                  std::tuple(method.toStdString(), "/v1/items/abc?x=1",
                             body.value_or(QByteArray()).toStdString(), contentLength));
        EXPECT_EQ(seen.header("Content-Type"),
                  body ? std::optional<std::string>("application/json") : std::nullopt);
        EXPECT_EQ(seen.headerCount("Expect") + seen.headerCount("User-Agent"), 0u);
    }
    EXPECT_EQ(server.requests().size(), 3u);
}

TEST(HttpClient, ReturnsEveryStatusAsItIsWithoutFollowingRedirects) {
    LocalHttpServer server;
    for (int status : {200, 204, 301, 304, 404, 503}) {
        SCOPED_TRACE(status);
        const std::string body =
            status == 204 || status == 304 ? "" : "body " + std::to_string(status);
        ScriptedResponse scripted{status, body};
        scripted.headers = {{"Location", "/elsewhere"}};
        server.route("GET", "/s", scripted);
        Request request;
        request.url = server.url("/s");
        const Response response = send(request);
        EXPECT_EQ(response.status, status);
        EXPECT_EQ(response.body.toStdString(), body);
    }
    EXPECT_EQ(server.requests().size(), 6u) << "a redirect was followed";
}

TEST(HttpClient, LargeRequestAndChunkedResponseArriveWhole) {
    LocalHttpServer server;
    const std::string large(3 * 1024 * 1024 + 7, 'q');
    server.route("POST", "/echo", [](const test::RecordedRequest& seen) {
        ScriptedResponse response{200, seen.body};
        response.chunked = true;
        return response;
    });
    Request request;
    request.method = "POST";
    request.url = server.url("/echo");
    request.body = QByteArray::fromStdString(large);
    EXPECT_TRUE(send(request).body == QByteArray::fromStdString(large));
}

TEST(HttpClient, KeepsItsConnectionsAcrossRequestsAndThreads) {
    LocalHttpServer server;
    server.fallback([](const test::RecordedRequest& seen) {
        return ScriptedResponse{200, seen.path};
    });
    constexpr int threads = 4;
    constexpr int requestsPerThread = 5;
    std::vector<std::jthread> workers;
    for (int worker = 0; worker < threads; ++worker) {
        workers.emplace_back([&server, worker] {
            for (int i = 0; i < requestsPerThread; ++i) {
                const QString path = QStringLiteral("/w%1/%2").arg(worker).arg(i);
                Request request;
                request.url = server.url(path);
                EXPECT_EQ(send(request).body, path.toUtf8());
            }
        });
    }
    workers.clear();
    std::set<int> connections;
    for (const auto& seen : server.requests()) {
        connections.insert(seen.clientPort);
    }
    EXPECT_EQ(server.requests().size(), std::size_t{threads * requestsPerThread});
    EXPECT_LE(connections.size(), std::size_t{threads}) << "no connection was reused";
    // The kept connections stay open in the pool; a tool started now must not inherit them.
    EXPECT_EQ(inheritableConnectionsTo(server.port()), 0);
}

// The suite's server must answer a client that a loaded machine lets send its first request
// late, and still stop at once while a connection is kept open.
TEST(HttpClient, TheTestServerWaitsForALateRequestAndStopsAtOnce) {
    std::optional<LocalHttpServer> server(std::in_place);
    server->route("GET", "/late", ScriptedResponse{200, "answered"});
    const int socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(socket, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(std::uint16_t(server->port()));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    std::this_thread::sleep_for(200ms);
    const std::string request = "GET /late HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
    ASSERT_EQ(::send(socket, request.data(), request.size(), MSG_NOSIGNAL),
              ssize_t(request.size()));
    // The head and the body may come in separate reads; a dropped connection reads as its end.
    std::string answer;
    for (char chunk[4096]; !answer.ends_with("answered");) {
        const ssize_t received = ::recv(socket, chunk, sizeof(chunk), 0);
        if (received <= 0) {
            break;
        }
        answer.append(chunk, std::size_t(received));
    }
    EXPECT_TRUE(answer.starts_with("HTTP/1.1 200") && answer.ends_with("answered")) << answer;
    const auto stopping = Clock::now();
    server.reset(); // the connection is still open
    EXPECT_LT(Clock::now() - stopping, 1s);
    ::close(socket);
}

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
    const auto to = [&](const char* url, std::vector<Header> headers, QByteArray method = "GET") {
        Request r = getRequest(url[0] == '/' ? server.url(QString::fromUtf8(url)) : QUrl(url));
        r.headers = std::move(headers);
        r.method = method;
        return r;
    };
    const Request cases[] = {
        to("v1/items", {}),           to("ftp://127.0.0.1/x", {}),
        to("file:///etc/passwd", {}), to("/", {{"Authorization", "Bearer a\r\nX-Injected: 1"}}),
        to("/", {{"X-A: b", "c"}}),   to("/", {}, "GET /x"),
    };
    for (const Request& request : cases) {
        EXPECT_EQ(failureOf(request).kind(), TransportError::Kind::other)
            << request.url.toString().toStdString();
    }
    EXPECT_TRUE(server.requests().empty());
}

TEST(HttpFailure, CancellationEndsAWaitingRequestPromptly) {
    LocalHttpServer server;
    ScriptedResponse stall{200, "late"};
    stall.delay = 10s;
    server.route("GET", "/stall", stall);
    std::stop_source source;
    Clock::time_point cancelledAt;
    std::jthread canceller([&] {
        std::this_thread::sleep_for(100ms);
        cancelledAt = Clock::now();
        source.request_stop();
    });
    EXPECT_THROW(send(getRequest(server.url("/stall"), 20s), source.get_token()), Cancelled);
    const auto finished = Clock::now();
    canceller.join();
    EXPECT_LT(finished - cancelledAt, 100ms);
    // A request cancelled before it starts sends nothing.
    const std::size_t sent = server.requests().size();
    EXPECT_THROW(send(getRequest(server.url("/")), source.get_token()), Cancelled);
    EXPECT_EQ(server.requests().size(), sent);
}

TEST(StatusText, KnownCodesHaveTheirPhraseAndOthersTheirClass) {
    const std::vector<std::pair<int, const char*>> cases = {
        {199, "Informational"}, {399, "Redirection"},   {418, "Client Error"},
        {599, "Server Error"},  {99, "Unknown Status"}, {600, "Unknown Status"},
    };
    for (const auto& [status, text] : cases) {
        EXPECT_EQ(statusText(status), QString::fromLatin1(text)) << status;
    }
}

} // namespace
} // namespace bw::http
