// bw-report-render [FINDINGS] [SWITCHES]: shows a report of FINDINGS findings (300) offscreen and
// switches its severity filter SWITCHES times (200), each switch laid out and painted; then paints
// frames of a switch's fade, as the user sees it without reduce motion; then builds, lays out and
// paints the same number of plain QLabels in a scroll area; then opens a finding whose evidence
// note runs to 3,000 lines against opening an ordinary one, and resizes the report with each
// open. Prints the times and the ratios of a switch and of the long opening to the labels, and of
// the long opening and resize to the ordinary ones, as JSON.

#include "app/AppModel.h"
#include "app/AppServices.h"
#include "bench/BenchClock.h"
#include "bench/Median.h"
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

// Tool output as a signature check gives it: one line per file, each wrapping in a narrow window.
QString longNote(int lines) {
    QStringList out;
    for (int i = 0; i < lines; ++i) {
        out << QStringLiteral("Payload/App.app/Frameworks/Kit.framework/Resources/Assets/"
                              "image-%1@3x.png: a sealed resource is missing or invalid")
                   .arg(i);
    }
    return out.join(u'\n');
}

struct Opening {
    double openMs;   // opening the finding, laid out and painted
    double resizeMs; // a change of the window's width while it is open
};

// The median over `rounds` of opening `findingID` and of resizing the report with it open; the
// finding is closed again between rounds.
Opening openingOf(ReportView& view, const QString& findingID, int rounds) {
    std::vector<double> opens;
    std::vector<double> resizes;
    QElapsedTimer timer;
    for (int round = 0; round < rounds; ++round) {
        timer.start();
        view.toggleFinding(findingID);
        settle(view);
        opens.push_back(timer.nsecsElapsed() / 1e6);
        timer.start();
        view.resize(round % 2 == 0 ? 640 : 760, 800);
        settle(view);
        resizes.push_back(timer.nsecsElapsed() / 1e6);
        view.toggleFinding(findingID);
        view.resize(1100, 800);
        settle(view);
    }
    return {bench::median(opens), bench::median(resizes)};
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

    double firstShowMs = 0, switchMs = 0, paintMs = 0, fadeFrameMs = 0, labelsMs = 0;
    {
        QElapsedTimer firstShow;
        firstShow.start();
        ReportView view(ReportContext{model, pasteboard}, report);
        view.resize(1100, 800);
        view.show();
        settle(view);
        firstShowMs = firstShow.nsecsElapsed() / 1e6;

        switchMs = millisecondsPerSwitch(view, switches);
        QElapsedTimer paintOnly;
        paintOnly.start();
        for (int i = 0; i < switches; ++i) {
            view.grab();
        }
        paintMs = paintOnly.nsecsElapsed() / 1e6 / switches;
        fadeFrameMs = millisecondsPerFadeFrame(view, 20);
        labelsMs = millisecondsForLabels(report, 10);
    } // the 300-finding view goes before the next one, so only one follows the model

    // An ordinary finding and one whose evidence is a long note.
    ScanReport notes = largeReport(2);
    notes.findings[1].evidenceFields.reset();
    notes.findings[1].evidence = longNote(3000);
    model.setReport(notes);
    ReportView notesView(ReportContext{model, pasteboard}, notes);
    notesView.resize(1100, 800);
    notesView.show();
    settle(notesView);
    const Opening ordinary = openingOf(notesView, notes.findings[0].id, 15);
    const Opening longNote = openingOf(notesView, notes.findings[1].id, 15);

    std::printf("{\"findings\": %d, \"switches\": %d, \"firstShowMs\": %.2f, \"switchMs\": %.2f, "
                "\"paintOnlyMs\": %.2f, \"fadeFrameMs\": %.2f, \"plainLabelsMs\": %.2f, "
                "\"switchToLabels\": %.3f, \"openOrdinaryMs\": %.2f, \"openLongNoteMs\": %.2f, "
                "\"resizeOrdinaryMs\": %.2f, \"resizeLongNoteMs\": %.2f, "
                "\"longNoteToOrdinary\": %.3f, \"longNoteResizeToOrdinary\": %.3f, "
                "\"longNoteToLabels\": %.3f}\n",
                count, switches, firstShowMs, switchMs, paintMs, fadeFrameMs, labelsMs,
                switchMs / labelsMs, ordinary.openMs, longNote.openMs, ordinary.resizeMs,
                longNote.resizeMs, longNote.openMs / ordinary.openMs,
                longNote.resizeMs / ordinary.resizeMs, longNote.openMs / labelsMs);
    return 0;
}
