#pragma once

#include "app/AppModel.h"

#include <QCoreApplication>
#include <QUrl>
#include <future>
#include <optional>

namespace bw {

// What the launch sequence reads from its surroundings; each part can be replaced by tests.
struct LaunchSettings {
    QStringList arguments = QCoreApplication::arguments();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // The history folder; none means defaultHistoryFolder().
    std::optional<QString> historyFolder;
    // The web service; none means the one the application information names.
    std::optional<QUrl> backendURL;
    // The App Store Connect client; none means the application's own.
    std::optional<AppStoreConnectService> ascService;
    QString toolDirectory = BuildScanner::defaultToolDirectory();
    Clock* clock = nullptr;
    std::function<void(const QString& path)> revealer;
};

// "Berthwatch" in the user's data folder, whatever organisation the program names for its
// settings.
QString defaultHistoryFolder();

// 6 s for the showcase scene, 12 s for any other demonstration scene, 36 s otherwise.
double minimumPresentationDuration(const QStringList& arguments,
                                   const QProcessEnvironment& environment);

// The report history being read on a thread of its own, newest first.
struct HistoryRead {
    ReportStore store;
    std::future<ReportStore::LoadResult> reports;
};

// Starts reading the history `store` keeps. Needs no application object: the one instance starts
// it before building one.
HistoryRead startHistoryRead(ReportStore store);

// A launch under way: the model is built, without its history, while the history and the
// credentials check are read on threads of their own.
struct StartedLaunch {
    std::unique_ptr<AppModel> model;
    std::future<ReportStore::LoadResult> history;
    std::future<bool> isASCConnected;
};

// Builds every service and the one model, and starts reading the report history and looking for
// the App Store Connect credentials. The update controller is built after it, by the caller.
StartedLaunch startApplication(const LaunchSettings& settings = {});
// The same over a history read already started, whose store the model keeps: the settings'
// history folder is not looked at.
StartedLaunch startApplication(const LaunchSettings& settings, HistoryRead history);

// Waits for the history and the credentials check and gives them to the model.
std::unique_ptr<AppModel> finishLaunch(StartedLaunch launch);

// Both, one after the other.
std::unique_ptr<AppModel> launchApplication(const LaunchSettings& settings = {});

} // namespace bw
