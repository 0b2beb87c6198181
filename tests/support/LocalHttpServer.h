#pragma once

#include <QUrl>
#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace bw::test {

// One request as the server received it.
struct RecordedRequest {
    std::string method;
    std::string target; // path and query exactly as sent
    std::string path;   // decoded path
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    int clientPort = 0; // tells the client's connections apart

    // The value of a header (names compare without regard to case); nothing when absent.
    std::optional<std::string> header(const std::string& name) const;
    std::size_t headerCount(const std::string& name) const;
};

// What the server answers to one request.
struct ScriptedResponse {
    ScriptedResponse(int status = 200, std::string body = {})
        : status(status), body(std::move(body)) {}

    int status;
    std::string body;
    std::string contentType = "application/json";
    std::vector<std::pair<std::string, std::string>> headers;
    // Waits this long before answering; the wait ends early when the server shuts down.
    std::chrono::milliseconds delay{0};
    // Sends the body without a length, in chunks.
    bool chunked = false;
    // Declares the whole body's length, sends only this many bytes of it, then drops the
    // connection.
    std::optional<std::size_t> closeAfterBytes;
};

using Responder = std::function<ScriptedResponse(const RecordedRequest&)>;

struct TlsFiles {
    std::string certificatePath;
    std::string privateKeyPath;
};

// A self-signed certificate for 127.0.0.1 that no client trusts, made at build time.
TlsFiles selfSignedTls();

// An HTTP (or HTTPS) server on 127.0.0.1 at a free port, running on its own threads for the
// lifetime of the object. Requests are answered from routes keyed by method and decoded path;
// a request without a route gets 404. Every request is recorded, routed or not.
// A connection is kept open for `keepAlive` while it waits for a request, its first one too: a
// shorter wait drops a client that a loaded machine lets send its request late. Stopping the
// server closes kept connections at once.
class LocalHttpServer {
public:
    explicit LocalHttpServer(std::chrono::seconds keepAlive = std::chrono::seconds(5));
    explicit LocalHttpServer(const TlsFiles& tls,
                             std::chrono::seconds keepAlive = std::chrono::seconds(5));
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    int port() const;
    // "http://127.0.0.1:<port>" followed by `path` (which starts with "/" or is empty).
    QUrl url(const QString& path = {}) const;

    void route(const std::string& method, const std::string& path, ScriptedResponse response);
    void route(const std::string& method, const std::string& path, Responder responder);

    // Answers the requests that match no route (instead of 404).
    void fallback(Responder responder);

    std::vector<RecordedRequest> requests() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

// A port on 127.0.0.1 that refuses connections: bound for the object's lifetime, never listening.
class RefusingPort {
public:
    RefusingPort();
    ~RefusingPort();
    RefusingPort(const RefusingPort&) = delete;
    RefusingPort& operator=(const RefusingPort&) = delete;

    int port() const { return port_; }

private:
    int socket_ = -1;
    int port_ = 0;
};

// A host name the system resolver rejects without asking any name server (longer than the 253
// characters a name may have, under the reserved .invalid domain), so "host not found" is tested
// offline.
QString unresolvableHost();

// Clears the proxy settings from the environment so that requests go straight to 127.0.0.1.
void bypassProxies();

} // namespace bw::test
