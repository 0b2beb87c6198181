#pragma once

#include "app/Launch.h"
#include "platform/clock/ManualClock.h"
#include "tests/support/LocalHttpServer.h"
#include "tests/support/TestFolder.h"
#include "tests/support/WaitFor.h"

namespace bw::test {

// A generated fixture build.
QString fixtureBuild(const QString& name);

// The message of a scanning phase; "-" for any other phase.
QString message(const ScanPhase& phase);
inline bool isAt(const AppModel& model, const QString& text) {
    return message(model.scanPhase()) == text;
}

// The messages of every scan phase the model takes, in order.
struct PhaseRecorder {
    explicit PhaseRecorder(AppModel& model);
    std::vector<QString> messages;
};

// The application as launched, with its history in a private folder, the web service on a local
// server, time on a manual clock and no App Store Connect credentials unless a test brings them.
class ModelHarness {
public:
    explicit ModelHarness(const QStringList& arguments = {QStringLiteral("berthwatch")});

    // What a launch reads: this harness's folder, servers, clock and revealer.
    LaunchSettings settings(const QStringList& arguments = {QStringLiteral("berthwatch")},
                            std::optional<AppStoreConnectService> ascService = std::nullopt);
    // Launches (again): a new model over the same folder and servers.
    AppModel& launch(const QStringList& arguments = {QStringLiteral("berthwatch")},
                     std::optional<AppStoreConnectService> ascService = std::nullopt);
    // The same in two halves, as the program does: the model first, its history later.
    StartedLaunch start(const QStringList& arguments = {QStringLiteral("berthwatch")},
                        std::optional<AppStoreConnectService> ascService = std::nullopt);
    AppModel& finish(StartedLaunch launch);
    // Ends the model once the saves it still has on their way are on disk, so that a history
    // written into the folder afterwards is the one the next launch reads.
    void quit();
    AppModel& model() { return *model_; }
    // A PNG screenshot of an accepted App Store size in the test folder.
    QString screenshot(const QString& name) const;
    // Stages the build and waits for its preview.
    void stage(const QString& build);

    TestFolder folder;
    QString history;
    QString tools = QStringLiteral(BW_LIBEXEC_DIR);
    LocalHttpServer backend;
    ManualClock clock;
    std::vector<QString> revealed;

private:
    std::unique_ptr<AppModel> model_;
};

} // namespace bw::test
