#pragma once

#include "platform/http/StatusText.h"
#include "platform/http/TransportError.h"

#include <QByteArray>
#include <QUrl>
#include <chrono>
#include <cstddef>
#include <optional>
#include <stop_token>
#include <vector>

namespace bw::http {

struct Header {
    QByteArray name;
    QByteArray value;

    bool operator==(const Header&) const = default;
};

inline constexpr std::size_t defaultMaxResponseBytes = 32 * 1024 * 1024;

struct Request {
    QByteArray method = "GET";
    QUrl url; // absolute, http or https
    // Sent exactly as given; nothing else is added but Host, Content-Length and Accept-Encoding.
    std::vector<Header> headers;
    std::optional<QByteArray> body;
    // Bounds the whole exchange, from name resolution to the last byte of the body.
    std::chrono::milliseconds timeout{std::chrono::seconds(60)};
    // A response whose body would grow past this fails instead of exhausting memory.
    std::size_t maxResponseBytes = defaultMaxResponseBytes;
};

struct Response {
    int status = 0;
    QByteArray body;
};

// Performs one request and waits for the whole response. Redirects are not followed: a 3xx comes
// back as it is. Server certificates are always verified.
// Throws TransportError when no response arrived, and bw::Cancelled when `stop` is requested
// before or during the exchange (the call then returns within a few milliseconds).
Response send(const Request& request, std::stop_token stop = {});

} // namespace bw::http
