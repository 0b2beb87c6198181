// bw-history-bench: the saved reports screen with a history of N reports against a plain
// QListWidget of as many rows: time to the first paint and to switch the verdict filter.

#include "app/AppModel.h"
#include "bench/BenchClock.h"
#include "bench/Median.h"
#include "ui/design/Design.h"
#include "ui/design/Motion.h"
#include "ui/report/ReportHistoryFilterButton.h"
#include "ui/report/ReportHistoryView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QTemporaryDir>
#include <cstdio>

using namespace bw;

using bw::bench::median;

namespace {

std::vector<ScanReport> history(int count) {
    const QDateTime now = QDateTime::currentDateTime();
    std::vector<ScanReport> reports(count);
    for (int i = 0; i < count; ++i) {
        ScanReport& r = reports[i];
        r.id = QUuid::createUuid();
        r.createdAt = now.addSecs(-900 * i);
        r.fileName = QStringLiteral("App%1.ipa").arg(i);
        r.verdict = i % 3 ? Verdict::needsAttention : Verdict::noConfirmedBlockers;
        r.metadata.appName = QStringLiteral("App %1").arg(i);
        r.metadata.bundleIdentifier = QStringLiteral("com.example.app%1").arg(i);
        r.metadata.version = QStringLiteral("1.%1").arg(i % 10);
        r.metadata.buildNumber = QString::number(i);
        r.metadata.platform = QStringLiteral("iphoneos");
    }
    return reports;
}

std::unique_ptr<AppModel> model(const std::vector<ScanReport>& reports, const QString& folder) {
    const QUrl nowhere("http://127.0.0.1:9");
    auto services = std::make_shared<const AppServices>(AppServices{
        BuildScanner(), ScreenshotAuditService(), ReportStore(folder), BerthwatchBackend(nowhere),
        AppStoreConnectService(), ScreenshotAIService(BerthwatchBackend(nowhere))});
    return std::make_unique<AppModel>(services, ReportStore::LoadResult{reports, {}, true}, false,
                                      AppModelOptions{});
}

// Milliseconds of `work` followed by a complete synchronous paint of `widget`.
template <typename Work> double timed(QWidget*& widget, Work work) {
    QElapsedTimer timer;
    timer.start();
    work();
    widget->repaint();
    return double(timer.nsecsElapsed()) / 1e6;
}

struct Times {
    double firstPaint;
    double switchFilter;
};

Times screen(AppModel& model) {
    QWidget* widget = nullptr;
    std::unique_ptr<report::ReportHistoryView> view;
    Times times{};
    times.firstPaint = timed(widget, [&] {
        view = std::make_unique<report::ReportHistoryView>(model);
        widget = view.get();
        view->resize(1000, 760);
        view->show();
    });
    times.switchFilter =
        timed(widget, [&] { view->filterButton(report::ReportHistoryFilter::attention)->click(); });
    return times;
}

Times plainList(const std::vector<ScanReport>& reports) {
    QWidget* widget = nullptr;
    std::unique_ptr<QListWidget> list;
    Times times{};
    times.firstPaint = timed(widget, [&] {
        list = std::make_unique<QListWidget>();
        widget = list.get();
        for (const ScanReport& report : reports) {
            list->addItem(report.metadata.appName + "  " + report.metadata.bundleIdentifier);
        }
        list->resize(1000, 760);
        list->show();
    });
    times.switchFilter = timed(widget, [&] {
        for (int i = 0; i < list->count(); ++i) {
            list->setRowHidden(i, reports[std::size_t(i)].verdict != Verdict::needsAttention);
        }
    });
    return times;
}

} // namespace

int main(int argc, char** argv) {
    bw::bench::preferOffscreen();
    QApplication application(argc, argv);
    design::installDesign(application);
    // Without the entrance fade, so the first paint draws every visible row in full.
    design::MotionPreferences::instance().overrideReduceMotion(true);
    const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int runs = 9;
    const auto reports = history(count);
    QTemporaryDir folder;
    auto appModel = model(reports, folder.path());
    std::vector<double> viewPaint, viewSwitch, listPaint, listSwitch;
    for (int run = 0; run < runs; ++run) {
        const Times v = screen(*appModel);
        const Times l = plainList(reports);
        viewPaint.push_back(v.firstPaint);
        viewSwitch.push_back(v.switchFilter);
        listPaint.push_back(l.firstPaint);
        listSwitch.push_back(l.switchFilter);
    }
    std::printf("%d reports, median of %d runs (ms)\n", count, runs);
    std::printf("%-14s %12s %12s %8s\n", "", "ReportHistoryView", "QListWidget", "ratio");
    const auto line = [](const char* name, double view, double list) {
        std::printf("%-14s %12.2f %12.2f %8.2f\n", name, view, list, view / list);
    };
    line("first paint", median(viewPaint), median(listPaint));
    line("switch filter", median(viewSwitch), median(listSwitch));
    return 0;
}
