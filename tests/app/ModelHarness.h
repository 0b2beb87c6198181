#pragma once

#include "app/Launch.h"
#include "platform/clock/ManualClock.h"
#include "tests/support/LocalHttpServer.h"
#include "tests/support/TestFolder.h"

#include <QString>
#include <functional>
#include <memory>

namespace bw::test {

// A generated fixture build.
QString fixtureBuild(const QString& name);

// Runs the event loop until `done` holds; false when `seconds` of real time pass first.
bool waitUntil(const std::function<bool()>& done, double seconds = 60);

// Whether the scan phase is scanning with this message.
bool isAt(const AppModel& model, const QString& message);

// Every value the scan phase took, in order.
class PhaseRecorder {
public:
    explicit PhaseRecorder(AppModel& model);
    const std::vector<ScanPhase>& phases() const { return phases_; }
    // The message of each phase; "-" for a phase without one.
    std::vector<QString> messages() const;

private:
    std::vector<ScanPhase> phases_;
};

// The application as launched, with its history in a private folder, the web service on a local
// server, time on a manual clock and the keychain's App Store Connect item absent unless a test
// stores one.
class ModelHarness {
public:
    ModelHarness();

    // Launches (again): a new model over the same folder and servers.
    AppModel& launch(const QStringList& arguments = {QStringLiteral("berthwatch")},
                     std::optional<AppStoreConnectService> ascService = std::nullopt);
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
