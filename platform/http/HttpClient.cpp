#include "platform/http/HttpClient.h"

#include "platform/core/Cancelled.h"
#include "platform/http/ConnectionPool.h"

#include <algorithm>
#include <cerrno>
#include <curl/curl.h>

namespace bw::http {

namespace {

constexpr int pollIntervalMs = 1000; // an upper bound only: a stop request wakes the poll at once

// The handles and header list of one transfer. The easy handle leaves the multi handle before
// the handles go back to the pool or are freed, as libcurl requires.
class Transfer {
public:
    Transfer() = default;
    Transfer(const Transfer&) = delete;
    Transfer& operator=(const Transfer&) = delete;
    ~Transfer() {
        if (attached_) {
            curl_multi_remove_handle(connection_.multi(), connection_.easy());
        }
        curl_slist_free_all(headers_);
    }

    CURL* easy() const { return connection_.easy(); }
    CURLM* multi() const { return connection_.multi(); }

    void addHeader(const QByteArray& line) {
        curl_slist* extended = curl_slist_append(headers_, line.constData());
        if (extended == nullptr) {
            throw TransportError(TransportError::Kind::other,
                                 QStringLiteral("The request headers could not be prepared."));
        }
        headers_ = extended;
    }
    curl_slist* headers() const { return headers_; }

    void start() {
        requireOption(curl_multi_add_handle(connection_.multi(), connection_.easy()));
        attached_ = true;
    }
    // The transfer ended well: its connection may serve the next request.
    void keepConnection() { connection_.keep(); }

private:
    PooledConnection connection_;
    curl_slist* headers_ = nullptr;
    bool attached_ = false;
};

struct BodySink {
    QByteArray body;
    std::size_t limit = 0;
    bool overflowed = false;
};

size_t appendToBody(char* data, size_t size, size_t count, void* context) {
    auto* sink = static_cast<BodySink*>(context);
    const size_t length = size * count;
    if (static_cast<size_t>(sink->body.size()) + length > sink->limit) {
        sink->overflowed = true;
        return 0; // makes libcurl abort the transfer
    }
    sink->body.append(data, static_cast<qsizetype>(length));
    return length;
}

bool isSafeHeaderText(const QByteArray& text) {
    return std::none_of(text.begin(), text.end(),
                        [](char c) { return c == '\r' || c == '\n' || c == '\0'; });
}

bool hasHeader(const Request& request, const char* name) {
    return std::any_of(request.headers.begin(), request.headers.end(), [name](const Header& h) {
        return h.name.compare(name, Qt::CaseInsensitive) == 0;
    });
}

void validate(const Request& request) {
    const QString scheme = request.url.scheme();
    if (!request.url.isValid() || request.url.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        throw TransportError(TransportError::Kind::other,
                             QStringLiteral("The address “%1” is not a valid web address.")
                                 .arg(request.url.toString()));
    }
    const bool methodIsToken =
        !request.method.isEmpty() &&
        std::all_of(request.method.begin(), request.method.end(),
                    [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); });
    if (!methodIsToken) {
        throw TransportError(TransportError::Kind::other,
                             QStringLiteral("The request method is not valid."));
    }
    for (const Header& header : request.headers) {
        if (header.name.isEmpty() || header.name.contains(':') || header.name.contains(' ') ||
            !isSafeHeaderText(header.name) || !isSafeHeaderText(header.value)) {
            throw TransportError(TransportError::Kind::other,
                                 QStringLiteral("The request has a malformed header."));
        }
    }
}

void setHeaders(Transfer& transfer, const Request& request) {
    for (const Header& header : request.headers) {
        // libcurl sends "Name;" as a header with an empty value; "Name:" would remove it.
        transfer.addHeader(header.value.isEmpty() ? header.name + ';'
                                                  : header.name + ": " + header.value);
    }
    // Only the caller's headers go out: suppress libcurl's own defaults.
    if (!hasHeader(request, "Accept")) {
        transfer.addHeader("Accept:");
    }
    if (!hasHeader(request, "Content-Type")) {
        transfer.addHeader("Content-Type:");
    }
    transfer.addHeader("Expect:");
    requireOption(curl_easy_setopt(transfer.easy(), CURLOPT_HTTPHEADER, transfer.headers()));
}

void setMethodAndBody(CURL* easy, const Request& request) {
    if (request.method == "GET" && !request.body) {
        requireOption(curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L));
        return;
    }
    if (request.method == "HEAD" && !request.body) {
        requireOption(curl_easy_setopt(easy, CURLOPT_NOBODY, 1L));
        return;
    }
    // Other methods always state their length, an empty body as "Content-Length: 0".
    static const char empty[] = "";
    const QByteArray* body = request.body ? &*request.body : nullptr;
    requireOption(curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE,
                                   static_cast<curl_off_t>(body != nullptr ? body->size() : 0)));
    requireOption(
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS, body != nullptr ? body->constData() : empty));
    requireOption(curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, request.method.constData()));
}

QString sizeText(std::size_t bytes) {
    constexpr std::size_t mebibyte = 1024 * 1024;
    if (bytes >= mebibyte && bytes % mebibyte == 0) {
        return QStringLiteral("%1 MiB").arg(bytes / mebibyte);
    }
    return QStringLiteral("%1 bytes").arg(bytes);
}

TransportError classify(CURLcode code, long osErrno, const char* detail, const BodySink& sink) {
    using Kind = TransportError::Kind;
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
        return TransportError(Kind::cannotFindHost);
    case CURLE_COULDNT_CONNECT:
        return TransportError(osErrno == ENETUNREACH || osErrno == ENETDOWN
                                  ? Kind::notConnected
                                  : Kind::cannotConnectToHost);
    case CURLE_OPERATION_TIMEDOUT:
        return TransportError(Kind::timedOut);
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_PARTIAL_FILE:
    case CURLE_HTTP2:
    case CURLE_HTTP2_STREAM:
        return TransportError(Kind::connectionLost);
    default:
        break;
    }
    if (sink.overflowed || code == CURLE_FILESIZE_EXCEEDED) {
        return TransportError(
            Kind::other,
            QStringLiteral("The server’s response is larger than %1.").arg(sizeText(sink.limit)));
    }
    const QString reason = QString::fromUtf8(detail[0] != '\0' ? detail : curl_easy_strerror(code));
    return TransportError(Kind::other,
                          QStringLiteral("The request could not be completed: %1.").arg(reason));
}

CURLcode runUntilDone(Transfer& transfer, std::stop_token stop) {
    CURLM* multi = transfer.multi();
    std::stop_callback wake(stop, [multi] { curl_multi_wakeup(multi); });
    transfer.start();
    for (;;) {
        if (stop.stop_requested()) {
            throw Cancelled();
        }
        int running = 0;
        CURLMcode status = curl_multi_perform(multi, &running);
        if (status == CURLM_OK && running == 0) {
            break;
        }
        if (status == CURLM_OK) {
            status = curl_multi_poll(multi, nullptr, 0, pollIntervalMs, nullptr);
        }
        if (status != CURLM_OK) {
            throw TransportError(TransportError::Kind::other,
                                 QStringLiteral("The request could not be completed: %1.")
                                     .arg(QString::fromUtf8(curl_multi_strerror(status))));
        }
    }
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
        if (message->msg == CURLMSG_DONE) {
            return message->data.result;
        }
    }
    return CURLE_GOT_NOTHING;
}

} // namespace

Response send(const Request& request, std::stop_token stop) {
    if (stop.stop_requested()) {
        throw Cancelled();
    }
    validate(request);

    Transfer transfer;
    CURL* easy = transfer.easy();
    BodySink sink{{}, request.maxResponseBytes, false};
    char errorText[CURL_ERROR_SIZE] = {};
    const QByteArray url = request.url.toEncoded();

    requireOption(curl_easy_setopt(easy, CURLOPT_URL, url.constData()));
    requireOption(curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https"));
    requireOption(curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L));
    requireOption(curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L));
    requireOption(curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L));
    requireOption(curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L));
    // Lets a cancelled request return without waiting for a name resolution still in progress.
    requireOption(curl_easy_setopt(easy, CURLOPT_QUICK_EXIT, 1L));
    requireOption(curl_easy_setopt(
        easy, CURLOPT_TIMEOUT_MS,
        static_cast<long>(std::max<std::chrono::milliseconds::rep>(1, request.timeout.count()))));
    requireOption(curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING, ""));
    requireOption(curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE,
                                   static_cast<curl_off_t>(request.maxResponseBytes)));
    requireOption(curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, appendToBody));
    requireOption(curl_easy_setopt(easy, CURLOPT_WRITEDATA, &sink));
    requireOption(curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorText));
    setHeaders(transfer, request);
    setMethodAndBody(easy, request);

    const CURLcode result = runUntilDone(transfer, stop);
    if (result != CURLE_OK) {
        long osErrno = 0;
        curl_easy_getinfo(easy, CURLINFO_OS_ERRNO, &osErrno);
        throw classify(result, osErrno, errorText, sink);
    }
    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    transfer.keepConnection();
    return Response{static_cast<int>(status), std::move(sink.body)};
}

} // namespace bw::http
