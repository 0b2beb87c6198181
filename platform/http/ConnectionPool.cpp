#include "platform/http/ConnectionPool.h"

#include "platform/http/TransportError.h"

#include <array>
#include <mutex>
#include <sys/socket.h>
#include <vector>

namespace bw::http {

namespace {

// Enough for the few services that may run at once; more idle handles would only hold sockets.
constexpr std::size_t maxIdleConnections = 4;

TransportError libraryFailure(const char* reason) {
    return TransportError(
        TransportError::Kind::other,
        QStringLiteral("The request could not be completed: %1.").arg(QString::fromUtf8(reason)));
}

// Connections outlive their request here, so a tool the program starts in the meantime must not
// inherit them.
curl_socket_t openCloseOnExecSocket(void*, curlsocktype, curl_sockaddr* address) {
    return ::socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
}

void requireShareOption(CURLSHcode code) {
    if (code != CURLSHE_OK) {
        throw libraryFailure(curl_share_strerror(code));
    }
}

// The pool of idle handles and the share that all handles use. libcurl's own connection cache
// sharing is not safe across threads, so connections stay with their multi handle and only
// TLS sessions and name lookups are shared, under one mutex per kind of shared data.
class Pool {
public:
    Pool() {
        curl_global_init(CURL_GLOBAL_DEFAULT);
        share_ = curl_share_init();
        if (share_ == nullptr) {
            throw TransportError(TransportError::Kind::other,
                                 QStringLiteral("The network library could not start a request."));
        }
        requireShareOption(curl_share_setopt(share_, CURLSHOPT_LOCKFUNC, lock));
        requireShareOption(curl_share_setopt(share_, CURLSHOPT_UNLOCKFUNC, unlock));
        requireShareOption(curl_share_setopt(share_, CURLSHOPT_USERDATA, this));
        requireShareOption(curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION));
        requireShareOption(curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS));
    }
    ~Pool() {
        idle_.clear(); // every easy handle leaves the share before it is freed
        curl_share_cleanup(share_);
    }
    Pool(const Pool&) = delete;
    Pool& operator=(const Pool&) = delete;

    std::unique_ptr<ConnectionHandles> take() {
        std::unique_ptr<ConnectionHandles> handles;
        {
            std::lock_guard guard(mutex_);
            if (!idle_.empty()) {
                handles = std::move(idle_.back());
                idle_.pop_back();
            }
        }
        if (!handles) {
            handles = std::make_unique<ConnectionHandles>();
        }
        requireOption(curl_easy_setopt(handles->easy, CURLOPT_SHARE, share_));
        requireOption(
            curl_easy_setopt(handles->easy, CURLOPT_OPENSOCKETFUNCTION, openCloseOnExecSocket));
        return handles;
    }

    void giveBack(std::unique_ptr<ConnectionHandles> handles) {
        // Clears the options, and with them the pointers into the finished request's memory.
        curl_easy_reset(handles->easy);
        std::lock_guard guard(mutex_);
        if (idle_.size() < maxIdleConnections) {
            idle_.push_back(std::move(handles));
        }
    }

private:
    static void lock(CURL*, curl_lock_data data, curl_lock_access, void* pool) {
        static_cast<Pool*>(pool)->locks_.at(data).lock();
    }
    static void unlock(CURL*, curl_lock_data data, void* pool) {
        static_cast<Pool*>(pool)->locks_.at(data).unlock();
    }

    CURLSH* share_ = nullptr;
    std::array<std::mutex, CURL_LOCK_DATA_LAST> locks_;
    std::mutex mutex_;
    std::vector<std::unique_ptr<ConnectionHandles>> idle_;
};

Pool& pool() {
    static Pool shared;
    return shared;
}

} // namespace

void requireOption(CURLcode code) {
    if (code != CURLE_OK) {
        throw libraryFailure(curl_easy_strerror(code));
    }
}

void requireOption(CURLMcode code) {
    if (code != CURLM_OK) {
        throw libraryFailure(curl_multi_strerror(code));
    }
}

ConnectionHandles::ConnectionHandles() : easy(curl_easy_init()), multi(curl_multi_init()) {
    if (easy == nullptr || multi == nullptr) {
        release();
        throw TransportError(TransportError::Kind::other,
                             QStringLiteral("The network library could not start a request."));
    }
}

ConnectionHandles::~ConnectionHandles() {
    release();
}

void ConnectionHandles::release() {
    if (easy != nullptr) {
        curl_easy_cleanup(easy);
    }
    if (multi != nullptr) {
        curl_multi_cleanup(multi);
    }
}

PooledConnection::PooledConnection() : handles_(pool().take()) {}

PooledConnection::~PooledConnection() {
    if (reusable_) {
        pool().giveBack(std::move(handles_));
    }
}

} // namespace bw::http
