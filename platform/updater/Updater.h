#pragma once

#include "platform/updater/Appcast.h"

#include <QDateTime>
#include <QObject>
#include <QSettings>
#include <QString>
#include <QUrl>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace bw {
class Clock;
}

namespace bw::updater {

// What the user sees of an update check. A scheduled check shows only an offer; a check the
// user asked for also says when there is nothing new or the feed could not be read.
class UpdatePresenter {
public:
    virtual ~UpdatePresenter() = default;
    virtual void offerUpdate(const AppcastItem& item) = 0;
    virtual void reportUpToDate() = 0;
    virtual void reportFailure(const QString& message) = 0;
};

// Reads an appcast feed and offers a newer release: once a day on its own once started, and at
// once when asked. The time of the last check is kept in the settings so that restarting the
// program does not check again within the day.
class Updater : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::hours checkInterval{24};
    static inline const QString lastCheckKey = QStringLiteral("Berthwatch.updates.lastCheck");

    struct Environment {
        Clock& clock;
        QSettings& settings;
        UpdatePresenter& presenter;
        // The wall-clock time, kept for the last check across launches.
        std::function<QDateTime()> wallNow = [] { return QDateTime::currentDateTimeUtc(); };
    };

    // `currentVersion` is compared with each release's machine version (the build number).
    Updater(QUrl feedUrl, QString currentVersion, Environment environment,
            QObject* parent = nullptr);
    ~Updater() override;

    // Schedules the daily checks; the first runs at once when a day has passed since the last.
    void start();
    // A check the user asked for; joins a scheduled check that is already running.
    void checkForUpdates();
    bool isChecking() const { return worker_ != nullptr; }

signals:
    void checkFinished();

private:
    void runCheck(bool userInitiated);
    void finishCheck(std::shared_ptr<const struct CheckOutcome> outcome);
    void scheduleNext(std::chrono::milliseconds delay);

    QUrl feedUrl_;
    QString currentVersion_;
    Environment environment_;
    bool userWaiting_ = false;
    int scheduleGeneration_ = 0;
    std::unique_ptr<std::jthread> worker_;
};

} // namespace bw::updater
