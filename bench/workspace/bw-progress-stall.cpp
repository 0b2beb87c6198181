// Measures how long the main thread goes without turning its event loop while the scan section
// shows a real scan, against the same window left idle for as long.
//
//   bw-progress-stall [--tools DIR] [--cancel-at PROGRESS] ARTIFACT
//
// The window is the scan workspace on the offscreen platform (it paints as on screen). A 2 ms
// precise timer marks each turn of the event loop; the longest gap between two marks, less the
// timer's own interval, is the longest stall. The main thread's own processor time within that
// gap tells work on the main thread from the scan's worker threads taking the processors. The
// scan is measured from "Scan build" until the model has done its work ("Preparing report"); the
// rest is the minimum presentation, idle.
//
// With --cancel-at the scan is cancelled once its progress reaches PROGRESS (0.82: the build's own
// inspection is done), and what follows is printed instead: the main thread's longest stall until
// the scan has ended, and how long the ending took.
#include "app/AppModel.h"
#include "app/Launch.h"
#include "bench/BenchClock.h"
#include "ui/design/Design.h"
#include "ui/workspace/FileChooser.h"
#include "ui/workspace/HomeView.h"
#include "ui/workspace/ScanWorkspaceView.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <optional>

namespace {

constexpr int tickMs = 2;

struct Stalls {
    double longestMs = 0;
    double longestBusyMs = 0; // main-thread processor time between two turns
    int overFrame = 0;        // gaps longer than one 60 Hz frame
    int turns = 0;
};

// Turns the event loop until `done` holds, measuring the gaps between timer marks.
Stalls measure(const std::function<bool()>& done) {
    Stalls stalls;
    QElapsedTimer clock;
    clock.start();
    bw::bench::turnUntil(tickMs, clock, [&](const bw::bench::Turn& turn) {
        stalls.longestBusyMs = std::max(stalls.longestBusyMs, turn.busyMs);
        ++stalls.turns;
        stalls.longestMs = std::max(stalls.longestMs, turn.gapMs);
        stalls.overFrame += turn.gapMs > 1000.0 / 60 ? 1 : 0;
        return done();
    });
    return stalls;
}

QString defaultTools() {
    return QCoreApplication::applicationDirPath() + u"/../libexec/berthwatch"_qs;
}

int fail(const char* message) {
    std::fprintf(stderr, "%s\n", message);
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    bw::bench::preferOffscreen();
    QApplication application(argc, argv);
    bw::design::installDesign(application);
    QStringList arguments = application.arguments().mid(1);
    QString tools = defaultTools();
    if (arguments.size() >= 3 && arguments[0] == u"--tools") {
        tools = arguments[1];
        arguments = arguments.mid(2);
    }
    std::optional<double> cancelAt;
    if (arguments.size() == 3 && arguments[0] == u"--cancel-at") {
        cancelAt = arguments[1].toDouble();
        arguments = arguments.mid(2);
    }
    if (arguments.size() != 1) {
        return fail("usage: bw-progress-stall [--tools DIR] [--cancel-at PROGRESS] ARTIFACT");
    }
    QTemporaryDir history;
    bw::LaunchSettings settings;
    settings.arguments = {u"berthwatch"_qs};
    settings.historyFolder = history.path();
    settings.backendURL = QUrl(u"http://127.0.0.1:9"_qs); // no web service: its steps fail fast
    settings.toolDirectory = QDir::cleanPath(tools);
    const auto model = bw::launchApplication(settings);
    bw::workspace::DialogFileChooser chooser;
    bw::workspace::ScanWorkspaceView window(*model, chooser, {});
    window.resize(1120, 760);
    window.show();

    model->importBuild(QFileInfo(arguments[0]).absoluteFilePath());
    measure([&] { return !model->isStagedPreviewLoading(); });
    if (!model->staged() || model->staged()->previewError) {
        return fail("the build's preview failed");
    }

    QElapsedTimer scanTime;
    scanTime.start();
    window.homeView()->requestScan();
    const auto ended = [&] {
        return !model->isScanCancellationAvailable() || !model->scanPhase().isBusy();
    };
    if (cancelAt) {
        measure([&] {
            const auto* scanning = std::get_if<bw::ScanPhase::Scanning>(&model->scanPhase().state);
            return ended() || (scanning && scanning->progress >= *cancelAt);
        });
        QElapsedTimer cancelTime;
        cancelTime.start();
        model->cancelScan();
        const Stalls cancel = measure(ended);
        std::printf("cancelled at %.2f after %.1f s: ended after %lld ms, longest stall %.1f ms "
                    "(main-thread work %.1f ms): %s\n",
                    *cancelAt, scanTime.elapsed() / 1000.0 - cancelTime.elapsed() / 1000.0,
                    cancelTime.elapsed(), cancel.longestMs, cancel.longestBusyMs,
                    qPrintable(model->importMessage().value_or(QString())));
        return 0;
    }
    const Stalls scan = measure(ended);
    const qint64 scanMs = scanTime.elapsed();
    if (model->importMessage()) {
        std::fprintf(stderr, "scan ended: %s\n", qPrintable(*model->importMessage()));
    }

    // The same window, idle for as long (the progress screen keeps easing meanwhile).
    QElapsedTimer idleTime;
    idleTime.start();
    const Stalls idle = measure([&] { return idleTime.elapsed() >= scanMs; });

    std::printf("scan of %s: %.1f s, %d loop turns\n", qPrintable(arguments[0]), scanMs / 1000.0,
                scan.turns);
    std::printf("longest stall: scan %.1f ms, idle %.1f ms, ratio %.2f\n", scan.longestMs,
                idle.longestMs, scan.longestMs / std::max(0.1, idle.longestMs));
    std::printf("longest main-thread work between turns: scan %.1f ms, idle %.1f ms, ratio %.2f\n",
                scan.longestBusyMs, idle.longestBusyMs,
                scan.longestBusyMs / std::max(0.1, idle.longestBusyMs));
    std::printf("gaps over one frame (16.7 ms): scan %d, idle %d\n", scan.overFrame,
                idle.overFrame);
    return 0;
}
