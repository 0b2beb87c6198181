#include "tests/support/LocalHttpServer.h"

#include <QStringList>
#include <algorithm>
#include <arpa/inet.h>
#include <condition_variable>
#include <filesystem>
#include <httplib.h>
#include <map>
#include <mutex>
#include <netinet/in.h>
#include <stdexcept>
#include <strings.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace bw::test {

namespace {

bool sameName(const std::string& a, const std::string& b) {
    return ::strcasecmp(a.c_str(), b.c_str()) == 0;
}

// Ends the server's side of every connection it accepted on `port` (this process's sockets whose
// own address has that port and that have a peer): the library would otherwise wait out the
// keep-alive time of each idle one before it stops.
void shutDownAcceptedConnections(int port) {
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        const int fd = std::stoi(entry.path().filename().string());
        sockaddr_in own{};
        sockaddr_in peer{};
        socklen_t ownLength = sizeof(own);
        socklen_t peerLength = sizeof(peer);
        if (::getsockname(fd, reinterpret_cast<sockaddr*>(&own), &ownLength) == 0 &&
            own.sin_family == AF_INET && ntohs(own.sin_port) == port &&
            ::getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &peerLength) == 0) {
            ::shutdown(fd, SHUT_RDWR);
        }
    }
}

} // namespace

std::optional<std::string> RecordedRequest::header(const std::string& name) const {
    const auto found = std::ranges::find_if(
        headers, [&](const auto& entry) { return sameName(entry.first, name); });
    return found == headers.end() ? std::nullopt : std::optional(found->second);
}

std::size_t RecordedRequest::headerCount(const std::string& name) const {
    return std::size_t(std::ranges::count_if(
        headers, [&](const auto& entry) { return sameName(entry.first, name); }));
}

struct LocalHttpServer::State {
    std::unique_ptr<httplib::Server> server;
    std::thread thread;
    int port = 0;

    mutable std::mutex mutex;
    std::condition_variable wake;
    bool stopping = false;
    std::map<std::pair<std::string, std::string>, Responder> routes;
    Responder fallback;
    std::vector<RecordedRequest> requests;

    void handle(const httplib::Request& request, httplib::Response& response);
    void waitFor(std::chrono::milliseconds delay);
    State(std::unique_ptr<httplib::Server> server, std::chrono::seconds keepAlive);
};

void LocalHttpServer::State::waitFor(std::chrono::milliseconds delay) {
    std::unique_lock lock(mutex);
    wake.wait_for(lock, delay, [this] { return stopping; });
}

void LocalHttpServer::State::handle(const httplib::Request& request, httplib::Response& response) {
    const RecordedRequest recorded{request.method, request.target,
                                   request.path,   {request.headers.begin(), request.headers.end()},
                                   request.body,   request.remote_port};
    Responder responder;
    {
        std::lock_guard lock(mutex);
        requests.push_back(recorded);
        const auto found = routes.find({recorded.method, recorded.path});
        responder = found != routes.end() ? found->second : fallback;
    }
    const ScriptedResponse scripted = responder ? responder(recorded) : ScriptedResponse(404);
    waitFor(scripted.delay);
    response.status = scripted.status;
    for (const auto& [name, value] : scripted.headers) {
        response.set_header(name, value);
    }
    if (scripted.closeAfterBytes) {
        const std::string body = scripted.body;
        const std::size_t sent = std::min(*scripted.closeAfterBytes, body.size());
        response.set_content_provider(
            body.size(), scripted.contentType,
            [body, sent](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                if (offset < sent) {
                    sink.write(body.data() + offset, sent - offset);
                    return true;
                }
                return false; // drops the connection with the body unfinished
            });
    } else if (scripted.chunked) {
        const std::string body = scripted.body;
        response.set_chunked_content_provider(
            scripted.contentType, [body](std::size_t offset, httplib::DataSink& sink) {
                constexpr std::size_t chunk = 64 * 1024;
                if (offset < body.size()) {
                    sink.write(body.data() + offset, std::min(chunk, body.size() - offset));
                } else {
                    sink.done();
                }
                return true;
            });
    } else {
        response.set_content(scripted.body, scripted.contentType);
    }
}

LocalHttpServer::State::State(std::unique_ptr<httplib::Server> httpServer,
                              std::chrono::seconds keepAlive)
    : server(std::move(httpServer)) {
    if (!server->is_valid()) {
        throw std::runtime_error("the test server could not load its certificate");
    }
    bypassProxies();
    server->set_keep_alive_timeout(keepAlive.count());
    server->set_keep_alive_max_count(1000); // as many requests a connection as a real server
    // Answers at once, as a real server does, instead of holding a response's second segment
    // back until the client's delayed acknowledgement of the first.
    server->set_tcp_nodelay(true);
    auto handler = [this](const httplib::Request& request, httplib::Response& response) {
        handle(request, response);
    };
    server->Get(".*", handler);
    server->Post(".*", handler);
    port = server->bind_to_any_port("127.0.0.1");
    if (port <= 0) {
        throw std::runtime_error("the test server could not bind to 127.0.0.1");
    }
    thread = std::thread([this] { server->listen_after_bind(); });
    while (!server->is_running()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

LocalHttpServer::LocalHttpServer(std::chrono::seconds keepAlive)
    : state_(std::make_unique<State>(std::make_unique<httplib::Server>(), keepAlive)) {}

LocalHttpServer::LocalHttpServer(const TlsFiles& tls, std::chrono::seconds keepAlive)
    : state_(std::make_unique<State>(std::make_unique<httplib::SSLServer>(
                                         tls.certificatePath.c_str(), tls.privateKeyPath.c_str()),
                                     keepAlive)) {}

LocalHttpServer::~LocalHttpServer() {
    {
        std::lock_guard lock(state_->mutex);
        state_->stopping = true;
    }
    state_->wake.notify_all();
    state_->server->stop();
    shutDownAcceptedConnections(state_->port);
    state_->thread.join();
}

int LocalHttpServer::port() const {
    return state_->port;
}

QUrl LocalHttpServer::url(const QString& path) const {
    const bool tls = dynamic_cast<httplib::SSLServer*>(state_->server.get()) != nullptr;
    return QUrl(QStringLiteral("%1://127.0.0.1:%2%3")
                    .arg(tls ? QStringLiteral("https") : QStringLiteral("http"))
                    .arg(state_->port)
                    .arg(path));
}

void LocalHttpServer::route(const std::string& method, const std::string& path,
                            ScriptedResponse response) {
    route(method, path, [response](const RecordedRequest&) { return response; });
}

void LocalHttpServer::route(const std::string& method, const std::string& path,
                            Responder responder) {
    std::lock_guard lock(state_->mutex);
    state_->routes[{method, path}] = std::move(responder);
}

void LocalHttpServer::fallback(Responder responder) {
    std::lock_guard lock(state_->mutex);
    state_->fallback = std::move(responder);
}

std::vector<RecordedRequest> LocalHttpServer::requests() const {
    std::lock_guard lock(state_->mutex);
    return state_->requests;
}

RefusingPort::RefusingPort() {
    socket_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    if (socket_ < 0 || ::bind(socket_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::runtime_error("could not reserve a port on 127.0.0.1");
    }
    port_ = ntohs(address.sin_port);
}

RefusingPort::~RefusingPort() {
    if (socket_ >= 0) {
        ::close(socket_);
    }
}

TlsFiles selfSignedTls() {
    return {BW_TEST_TLS_DIR "/certificate.pem", BW_TEST_TLS_DIR "/private-key.pem"};
}

QString unresolvableHost() {
    const QString label(63, QLatin1Char('x'));
    return QStringList(5, label).join(QLatin1Char('.')) + QStringLiteral(".invalid");
}

void bypassProxies() {
    for (const char* name :
         {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"}) {
        ::unsetenv(name);
    }
}

} // namespace bw::test
