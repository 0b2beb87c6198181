#include "platform/http/HttpClient.h"

#include "tests/support/LocalHttpServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
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

struct ExchangeCase {
    const char* name;
    QByteArray method;
    std::vector<Header> headers;
    std::optional<QByteArray> body;
    // What the server must see.
    std::optional<std::string> contentLength;
    std::optional<std::string> contentType;
    std::optional<std::string> accept;
};

TEST(HttpClient, SendsExactlyTheRequestItIsGiven) {
    const std::vector<ExchangeCase> cases = {
        {"get",
         "GET",
         {{"Accept", "application/json"}},
         std::nullopt,
         std::nullopt,
         std::nullopt,
         "application/json"},
        {"post with body",
         "POST",
         {{"Accept", "application/json"}, {"Content-Type", "application/json"}},
         QByteArray(R"({"a":1})"),
         "7",
         "application/json",
         "application/json"},
        {"post without body", "POST", {}, std::nullopt, "0", std::nullopt, std::nullopt},
    };
    for (const ExchangeCase& c : cases) {
        SCOPED_TRACE(c.name);
        LocalHttpServer server;
        server.route(c.method.toStdString(), "/v1/items/abc", ScriptedResponse{201, "made"});

        Request request;
        request.method = c.method;
        request.url = server.url("/v1/items/abc?x=1");
        request.headers = c.headers;
        request.headers.push_back({"Authorization", "Bearer t0k"});
        request.body = c.body;
        const Response response = send(request);

        EXPECT_EQ(response.status, 201);
        EXPECT_EQ(response.body, "made");
        const auto received = server.requests();
        ASSERT_EQ(received.size(), 1u);
        const auto& seen = received.front();
        EXPECT_EQ(seen.method, c.method.toStdString());
        EXPECT_EQ(seen.target, "/v1/items/abc?x=1");
        EXPECT_EQ(seen.body, c.body.value_or(QByteArray()).toStdString());
        EXPECT_EQ(seen.header("Authorization"), "Bearer t0k");
        EXPECT_EQ(seen.header("Content-Length"), c.contentLength);
        EXPECT_EQ(seen.header("Content-Type"), c.contentType);
        EXPECT_EQ(seen.header("Accept"), c.accept);
        EXPECT_EQ(seen.headerCount("Expect"), 0u);
        EXPECT_EQ(seen.headerCount("User-Agent"), 0u);
    }
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
    for (const auto& seen : server.requests()) {
        EXPECT_EQ(seen.path, "/s");
    }
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
    const Response response = send(request);
    EXPECT_EQ(response.status, 200);
    EXPECT_EQ(response.body.size(), static_cast<qsizetype>(large.size()));
    EXPECT_TRUE(response.body == QByteArray::fromStdString(large));
}

TEST(HttpClient, KeepsItsConnectionsAcrossRequestsAndThreads) {
    // The server keeps idle connections for a second, so stopping it waits up to that long.
    LocalHttpServer server(std::chrono::seconds(1));
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

} // namespace
} // namespace bw::http
