// bw-report-render [FINDINGS] [SWITCHES]: shows a report of FINDINGS findings (300) offscreen and
// switches its severity filter SWITCHES times (200), each switch laid out and painted; then paints
// frames of a switch's fade, as the user sees it without reduce motion; then builds, lays out and
// paints the same number of plain QLabels in a scroll area. Prints the times and the ratio of a
// switch to the labels as JSON.

#include "app/AppModel.h"
#include "app/AppServices.h"
#include "bench/BenchClock.h"
#include "ui/design/Design.h"
#include "ui/design/Motion.h"
#include "ui/report/Pasteboard.h"
#include "ui/report/ReportView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <cstdio>

using namespace bw;
using namespace bw::report;

namespace {

ScanReport largeReport(int count) {
    ScanReport report = ScanReport::sample();
    const Finding base = report.findings.front();
    report.findings.clear();
    for (int i = 0; i < count; ++i) {
        Finding finding = base;
        finding.id = QStringLiteral("bench.%1").arg(i);
        finding.severity = static_cast<FindingSeverity>(i % 3);
        finding.title = QStringLiteral("Finding %1: ").arg(i) + base.title.repeated(1 + i % 4);
        report.findings.push_back(std::move(finding));
    }
    return report;
}

// Lets every posted layout request and paint run, then paints the window once more in full.
void settle(QWidget& window) {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
    }
    window.grab();
}

double millisecondsPerSwitch(ReportView& view, int switches) {
    const std::array<ReportFilterChoice, 4> cycle{
        ReportFilterChoice::blockers, ReportFilterChoice::risks, ReportFilterChoice::manual,
        ReportFilterChoice::all};
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < switches; ++i) {
        emit view.filterBar()->chip(cycle[i % cycle.size()])->clicked();
        settle(view);
    }
    return timer.nsecsElapsed() / 1e6 / switches;
}

// A frame painted while the list fades in after a switch.
double millisecondsPerFadeFrame(ReportView& view, int frames) {
    design::MotionPreferences::instance().overrideReduceMotion(false);
    // The switches above ended on All.
    emit view.filterBar()->chip(ReportFilterChoice::risks)->clicked();
    QCoreApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < frames; ++i) {
        view.grab();
    }
    design::MotionPreferences::instance().overrideReduceMotion(true);
    return timer.nsecsElapsed() / 1e6 / frames;
}

double millisecondsForLabels(const ScanReport& report, int rounds) {
    QElapsedTimer timer;
    timer.start();
    for (int round = 0; round < rounds; ++round) {
        QScrollArea area;
        auto* content = new QWidget;
        auto* layout = new QVBoxLayout(content);
        for (const Finding& finding : report.findings) {
            auto* label = new QLabel(finding.title);
            label->setWordWrap(true);
            layout->addWidget(label);
        }
        area.setWidget(content);
        area.setWidgetResizable(true);
        area.resize(1100, 800);
        area.show();
        settle(area);
    }
    return timer.nsecsElapsed() / 1e6 / rounds;
}

} // namespace

int main(int argc, char** argv) {
    bw::bench::preferOffscreen();
    QApplication application(argc, argv);
    design::installDesign(application);
    // Measures the work of a switch, not the length of its animations.
    design::MotionPreferences::instance().overrideReduceMotion(true);
    const int count = argc > 1 ? std::atoi(argv[1]) : 300;
    const int switches = argc > 2 ? std::atoi(argv[2]) : 200;

    QTemporaryDir history;
    const QUrl nowhere(QStringLiteral("http://127.0.0.1:9"));
    auto services = std::make_shared<AppServices>(
        AppServices{BuildScanner(), ScreenshotAuditService(), ReportStore(history.path()),
                    BerthwatchBackend(nowhere), AppStoreConnectService(),
                    ScreenshotAIService(BerthwatchBackend(nowhere))});
    AppModel model(services, {{}, std::nullopt, true}, false, {});
    const Pasteboard pasteboard;
    const ScanReport report = largeReport(count);

    QElapsedTimer firstShow;
    firstShow.start();
    ReportView view(ReportContext{model, pasteboard}, report);
    view.resize(1100, 800);
    view.show();
    settle(view);
    const double firstShowMs = firstShow.nsecsElapsed() / 1e6;

    const double switchMs = millisecondsPerSwitch(view, switches);
    QElapsedTimer paintOnly;
    paintOnly.start();
    for (int i = 0; i < switches; ++i) {
        view.grab();
    }
    const double paintMs = paintOnly.nsecsElapsed() / 1e6 / switches;
    const double fadeFrameMs = millisecondsPerFadeFrame(view, 20);
    const double labelsMs = millisecondsForLabels(report, 10);
    std::printf("{\"findings\": %d, \"switches\": %d, \"firstShowMs\": %.2f, \"switchMs\": %.2f, "
                "\"paintOnlyMs\": %.2f, \"fadeFrameMs\": %.2f, \"plainLabelsMs\": %.2f, "
                "\"switchToLabels\": %.3f}\n",
                count, switches, firstShowMs, switchMs, paintMs, fadeFrameMs, labelsMs,
                switchMs / labelsMs);
    return 0;
}
