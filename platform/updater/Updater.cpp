#include "platform/updater/Updater.h"

#include "platform/clock/Clock.h"
#include "platform/core/Cancelled.h"
#include "platform/http/HttpClient.h"

#include <QMetaObject>
#include <optional>

namespace bw::updater {

struct CheckOutcome {
    std::optional<AppcastItem> newer;
    std::optional<QString> failure;
};

namespace {

constexpr std::size_t maxFeedBytes = 4 * 1024 * 1024;
constexpr std::chrono::seconds feedTimeout{30};

CheckOutcome fetchOutcome(const QUrl& feedUrl, const QString& currentVersion,
                          std::stop_token stop) {
    http::Request request;
    request.url = feedUrl;
    request.headers = {{"Accept", "application/rss+xml, application/xml, text/xml"}};
    request.timeout = feedTimeout;
    request.maxResponseBytes = maxFeedBytes;
    try {
        const http::Response response = http::send(request, stop);
        if (response.status < 200 || response.status > 299) {
            return {std::nullopt, QStringLiteral("The update feed answered with HTTP status %1.")
                                      .arg(response.status)};
        }
        const auto newest = newestItem(parseAppcast(response.body));
        if (newest && compareVersions(newest->version, currentVersion) > 0) {
            return {newest, std::nullopt};
        }
        return {};
    } catch (const http::TransportError& error) {
        return {std::nullopt, error.description()};
    } catch (const AppcastError& error) {
        return {std::nullopt, QString::fromUtf8(error.what())};
    }
}

} // namespace

Updater::Updater(QUrl feedUrl, QString currentVersion, Environment environment, QObject* parent)
    : QObject(parent), feedUrl_(std::move(feedUrl)), currentVersion_(std::move(currentVersion)),
      environment_(std::move(environment)) {}

Updater::~Updater() = default; // the worker's destructor stops and joins it

void Updater::start() {
    const QDateTime last = environment_.settings.value(lastCheckKey).toDateTime();
    const QDateTime now = environment_.wallNow();
    const auto elapsed = std::chrono::milliseconds(last.isValid() ? last.msecsTo(now) : -1);
    // A last check in the future was recorded under a wrong clock: check now rather than wait.
    if (elapsed < std::chrono::milliseconds::zero() || elapsed >= checkInterval) {
        runCheck(false);
    } else {
        scheduleNext(std::chrono::duration_cast<std::chrono::milliseconds>(checkInterval) -
                     elapsed);
    }
}

void Updater::checkForUpdates() {
    userWaiting_ = true;
    if (!isChecking()) {
        runCheck(true);
    }
}

void Updater::runCheck(bool userInitiated) {
    if (isChecking()) {
        return;
    }
    userWaiting_ = userWaiting_ || userInitiated;
    environment_.settings.setValue(lastCheckKey, environment_.wallNow());
    worker_ = std::make_unique<std::jthread>(
        [this, url = feedUrl_, version = currentVersion_](std::stop_token stop) {
            CheckOutcome outcome;
            try {
                outcome = fetchOutcome(url, version, stop);
            } catch (const Cancelled&) {
                return; // the updater is going away
            }
            auto shared = std::make_shared<const CheckOutcome>(std::move(outcome));
            QMetaObject::invokeMethod(
                this, [this, shared] { finishCheck(shared); }, Qt::QueuedConnection);
        });
}

void Updater::finishCheck(std::shared_ptr<const CheckOutcome> outcome) {
    worker_.reset();
    const bool report = std::exchange(userWaiting_, false);
    scheduleNext(checkInterval);
    if (outcome->newer) {
        environment_.presenter.offerUpdate(*outcome->newer);
    } else if (report && outcome->failure) {
        environment_.presenter.reportFailure(*outcome->failure);
    } else if (report) {
        environment_.presenter.reportUpToDate();
    }
    emit checkFinished();
}

void Updater::scheduleNext(std::chrono::milliseconds delay) {
    const int generation = ++scheduleGeneration_;
    environment_.clock.schedule(delay, this, [this, generation] {
        if (generation == scheduleGeneration_) {
            runCheck(false);
        }
    });
}

} // namespace bw::updater
