#pragma once

#include <curl/curl.h>
#include <memory>

namespace bw::http {

// libcurl answers an option it lacks or refuses with an error code; the request then fails
// instead of going out weaker than asked (above all without its protocol restriction).
void requireOption(CURLcode code);
void requireOption(CURLMcode code);

// One transfer's libcurl handles. The multi handle runs the easy handle and keeps the
// connection open after the transfer ends, so the next request to the same host reuses it.
struct ConnectionHandles {
    ConnectionHandles();
    ~ConnectionHandles();
    ConnectionHandles(const ConnectionHandles&) = delete;
    ConnectionHandles& operator=(const ConnectionHandles&) = delete;

    CURL* easy;
    CURLM* multi;

private:
    void release();
};

// Handles taken from the process's pool for one request, with every option at its default but
// close-on-exec sockets, and TLS sessions and name lookups shared with all other requests. They go
// back to the pool only when the request ended well (keep()); after a failure or a cancellation
// they are closed, connection and all, so no request inherits another's broken state.
class PooledConnection {
public:
    PooledConnection();
    ~PooledConnection();
    PooledConnection(const PooledConnection&) = delete;
    PooledConnection& operator=(const PooledConnection&) = delete;

    CURL* easy() const { return handles_->easy; }
    CURLM* multi() const { return handles_->multi; }
    void keep() { reusable_ = true; }

private:
    std::unique_ptr<ConnectionHandles> handles_;
    bool reusable_ = false;
};

} // namespace bw::http
