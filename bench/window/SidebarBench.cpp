// bw-sidebar-bench: how long the main thread is blocked when a report is published or one app
// is deleted with N apps in the sidebar, against the time to lay out N plain QLabels.
//
//   bw-sidebar-bench [--tools DIR] [COUNT...]        (counts default to 1000 2000)
//
// The report is published by a real scan of a small generated .app bundle whose bundle identifier
// is one of the listed apps, so its row changes and moves to the top. A 1 ms precise timer marks
// each turn of the event loop; the block is the longest gap between two marks from the moment of
// the change until 400 ms after it, less the timer's own interval. Beside it, the main thread's
// own processor time within that gap: on a busy machine the wall time also counts the time other
// processes took the processor.
#include "app/AppModel.h"
#include "bench/BenchClock.h"
#include "bench/Median.h"
#include "ui/design/Design.h"
#include "ui/window/BerthwatchSidebar.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdio>

using namespace bw;
using bw::bench::median;

namespace {

constexpr int tickMs = 1;
constexpr qint64 afterMs = 400;
constexpr int runs = 5;

struct Block {
    double wallMs = 0;
    double busyMs = 0; // the main thread's processor time within the longest gap
};

std::vector<ScanReport> history(int count) {
    const QDateTime now = QDateTime::currentDateTimeUtc().addSecs(-3600);
    std::vector<ScanReport> reports(std::size_t(count), ScanReport::sample());
    for (int i = 0; i < count; ++i) {
        ScanReport& r = reports[std::size_t(i)];
        r.id = QUuid::createUuid();
        r.createdAt = now.addSecs(-900 * i);
        r.metadata.appName = QStringLiteral("App %1").arg(i);
        r.metadata.bundleIdentifier = QStringLiteral("com.example.app%1").arg(i);
    }
    return reports;
}

// A minimal bundle the scanner reads without tools failing the scan.
QString makeBundle(const QString& folder, const QString& bundleIdentifier) {
    const QString app = folder + u"/Bench.app"_qs;
    QDir().mkpath(app);
    QFile info(app + u"/Info.plist"_qs);
    info.open(QIODevice::WriteOnly | QIODevice::Truncate);
    info.write(QStringLiteral(R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict>
<key>CFBundleDisplayName</key><string>Bench</string>
<key>CFBundleIdentifier</key><string>%1</string>
<key>CFBundleShortVersionString</key><string>1.0</string>
<key>CFBundleVersion</key><string>1</string>
<key>CFBundleExecutable</key><string>Bench</string>
<key>DTPlatformName</key><string>iphoneos</string>
</dict></plist>)")
                   .arg(bundleIdentifier)
                   .toUtf8());
    QFile executable(app + u"/Bench"_qs);
    executable.open(QIODevice::WriteOnly);
    executable.write(QByteArray(4096, 'x'));
    return app;
}

// Turns the event loop with a fast timer until `done` holds and `afterMs` more have passed
// since `changedAt` was set; returns the longest gap from that moment on.
Block longestBlock(const std::function<void()>& start, const std::function<bool()>& done,
                   const std::optional<qint64>& changedAt, const QElapsedTimer& clock) {
    Block longest;
    bw::bench::turnUntil(
        tickMs, clock,
        [&](const bw::bench::Turn& turn) {
            if (changedAt && turn.nowNs >= *changedAt && turn.gapMs > longest.wallMs) {
                longest = {turn.gapMs, turn.busyMs};
            }
            return done() && changedAt && turn.nowNs - *changedAt > afterMs * 1000000;
        },
        start);
    return longest;
}

struct Times {
    Block publish;
    Block deletion;
    double labels;
};

double plainLabels(int count) {
    QScrollArea scroll;
    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    for (int i = 0; i < count; ++i) {
        layout->addWidget(new QLabel(QStringLiteral("App %1").arg(i)));
    }
    scroll.setWidget(column);
    scroll.setWidgetResizable(true);
    scroll.resize(260, 760);
    QElapsedTimer timer;
    timer.start();
    scroll.show();
    scroll.repaint();
    QCoreApplication::sendPostedEvents();
    return timer.nsecsElapsed() / 1e6;
}

Times measure(int count, const QString& tools, QElapsedTimer& clock) {
    QTemporaryDir folder;
    const QUrl nowhere(u"http://127.0.0.1:9"_qs);
    auto services = std::make_shared<const AppServices>(
        AppServices{BuildScanner(tools), ScreenshotAuditService(), ReportStore(folder.path()),
                    BerthwatchBackend(nowhere), AppStoreConnectService(),
                    ScreenshotAIService(BerthwatchBackend(nowhere))});
    AppModelOptions options;
    options.minimumPresentationDuration = 0;
    AppModel model(services, ReportStore::LoadResult{history(count), {}, true}, false, options);
    window::BerthwatchSidebar sidebar(model);
    sidebar.resize(260, 760);
    sidebar.show();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();

    std::optional<qint64> changedAt;
    QObject::connect(&model, &AppModel::reportsChanged, &sidebar, [&] {
        if (!changedAt) {
            changedAt = clock.nsecsElapsed();
        }
    });
    std::vector<double> publish, publishBusy, deletion, deletionBusy, labels;
    for (int run = 0; run < runs; ++run) {
        // An app from the middle of the list: its row changes and moves to the top.
        const QString moved = QStringLiteral("com.example.app%1").arg(count / 2 + run);
        QTemporaryDir build;
        model.importBuild(makeBundle(build.path(), moved));
        while (model.isStagedPreviewLoading() || !model.staged()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
        }
        changedAt.reset();
        const std::size_t before = model.reports().size();
        const Block published =
            longestBlock([&] { model.startScan(false); },
                         [&] { return !model.scanPhase().isBusy(); }, changedAt, clock);
        publish.push_back(published.wallMs);
        publishBusy.push_back(published.busyMs);
        if (model.reports().size() != before + 1) {
            std::fprintf(stderr, "the scan published no report: %s\n",
                         qPrintable(model.importMessage().value_or(QString())));
            std::exit(1);
        }
        // Another app of the list goes with all its reports.
        const QString going = QStringLiteral("com.example.app%1").arg(count / 3 + run);
        changedAt.reset();
        const Block deleted = longestBlock(
            [&] {
                for (const SidebarApp& app : SidebarApp::apps(model.reports())) {
                    if (app.bundleIdentifier == going) {
                        model.deleteReports(app);
                    }
                }
            },
            [] { return true; }, changedAt, clock);
        deletion.push_back(deleted.wallMs);
        deletionBusy.push_back(deleted.busyMs);
        labels.push_back(plainLabels(count));
    }
    return {{median(publish), median(publishBusy)},
            {median(deletion), median(deletionBusy)},
            median(labels)};
}

double load() {
    QFile file(u"/proc/loadavg"_qs);
    return file.open(QIODevice::ReadOnly) ? file.readAll().split(' ').value(0).toDouble() : 0;
}

} // namespace

int main(int argc, char** argv) {
    bw::bench::preferOffscreen();
    QApplication application(argc, argv);
    design::installDesign(application);
    QStringList arguments = application.arguments().mid(1);
    QString tools = QCoreApplication::applicationDirPath() + u"/../libexec/berthwatch"_qs;
    if (arguments.size() >= 2 && arguments[0] == u"--tools") {
        tools = arguments[1];
        arguments = arguments.mid(2);
    }
    std::vector<int> counts;
    for (const QString& argument : arguments) {
        counts.push_back(argument.toInt());
    }
    if (counts.empty()) {
        counts = {1000, 2000};
    }
    QElapsedTimer clock;
    clock.start();
    std::printf("main-thread block, median of %d runs (ms; in brackets the main thread's own\n"
                "processor time within it); labels: laying out as many plain QLabels; load %.1f\n",
                runs, load());
    std::printf("%6s %16s %16s %8s %14s %13s\n", "apps", "publish", "delete", "labels",
                "publish/labels", "delete/labels");
    std::vector<Times> all;
    for (int count : counts) {
        const Times t = measure(count, QDir::cleanPath(tools), clock);
        all.push_back(t);
        std::printf("%6d %8.2f (%5.2f) %8.2f (%5.2f) %8.2f %14.2f %13.2f\n", count,
                    t.publish.wallMs, t.publish.busyMs, t.deletion.wallMs, t.deletion.busyMs,
                    t.labels, t.publish.wallMs / t.labels, t.deletion.wallMs / t.labels);
    }
    for (std::size_t i = 1; i < all.size(); ++i) {
        std::printf("%d against %d apps: publish %.2fx (%.2fx), delete %.2fx (%.2fx), labels "
                    "%.2fx\n",
                    counts[i], counts[0], all[i].publish.wallMs / all[0].publish.wallMs,
                    all[i].publish.busyMs / all[0].publish.busyMs,
                    all[i].deletion.wallMs / all[0].deletion.wallMs,
                    all[i].deletion.busyMs / all[0].deletion.busyMs, all[i].labels / all[0].labels);
    }
    return 0;
}
