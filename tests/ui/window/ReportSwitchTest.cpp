// What the window draws while it goes from one report to another, also while a filter change
// still fades the old list out: every frame holds the texts of one report only, the one the
// title names.

#include "app/AppModel.h"
#include "tests/ui/TextLayout.h"
#include "tests/ui/Widgets.h"
#include "tests/ui/window/WindowHarness.h"
#include "ui/design/Motion.h"
#include "ui/report/ReportFilterBar.h"
#include "ui/report/ReportView.h"

#include <QImage>
#include <QTest>
#include <gtest/gtest.h>
#include <optional>

namespace bw::window {
namespace {

using namespace Qt::Literals::StringLiterals;

struct Frame {
    QImage image;
    QString title;
};

// The sample report under another app name, with these findings and passed checks.
ScanReport namedReport(const QString& appName, const QStringList& findingTitles,
                       const QStringList& passed) {
    ScanReport report = ScanReport::sample();
    report.id = QUuid::createUuid();
    report.metadata.appName = appName;
    const Finding model = report.findings.front();
    report.findings.clear();
    for (const QString& title : findingTitles) {
        Finding finding = model;
        finding.id = title;
        finding.title = title;
        report.findings.push_back(finding);
    }
    report.passedChecks = {passed.begin(), passed.end()};
    return report;
}

// Where the first report's texts are drawn and the second's are not, not even while they rise
// into place: the places a picture of the first report would show in.
std::vector<QRect> placesOfFirstOnly(const std::vector<bw::test::PaintedText>& first,
                                     const std::vector<bw::test::PaintedText>& second,
                                     const QRect& content) {
    std::vector<QRect> places;
    for (const auto& text : first) {
        const bool sharedOrNear = std::ranges::any_of(second, [&](const auto& other) {
            return other.text == text.text ||
                   other.ink.adjusted(-4, -12, 4, 12).intersects(text.ink);
        });
        const QRect ink = text.ink.toAlignedRect() & content;
        if (!sharedOrNear && !ink.isEmpty()) {
            places.push_back(ink);
        }
    }
    return places;
}

class ReportSwitchTest : public ::testing::Test {
protected:
    void SetUp() override { design::MotionPreferences::instance().overrideReduceMotion(false); }
    void TearDown() override { design::MotionPreferences::instance().overrideReduceMotion({}); }

    QWidget& mainWindow() { return *window.window; }

    // Opens `report` and waits until it stands still.
    void openAndSettle(const ScanReport& report) {
        window.model().openReport(report);
        QTest::qWait(1200);
    }

    // Opens `report` and records the frames of the next `ms` milliseconds.
    std::vector<Frame> openRecording(const ScanReport& report, int ms) {
        window.model().openReport(report);
        std::vector<Frame> frames;
        QElapsedTimer elapsed;
        elapsed.start();
        while (elapsed.elapsed() < ms) {
            // What a frame would show: the window draws once the layouts have had their turn.
            QCoreApplication::sendPostedEvents();
            frames.push_back({mainWindow().grab().toImage(), mainWindow().windowTitle()});
            QTest::qWait(8);
        }
        return frames;
    }

    test::WindowHarness window{{u"berthwatch"_s}, /*realScreens=*/true};
};

TEST_F(ReportSwitchTest, EveryFrameOfASwitchHoldsTheTextsOfTheReportTheTitleNames) {
    const ScanReport second = namedReport(u"Bravo"_s, {}, {u"Bravo check"_s});
    // The chip clicked just before the switch, while its change still fades the old list out.
    const struct {
        const char* name;
        bool showsPassedChecks;
        std::optional<report::ReportFilterChoice> clickedBeforeSwitch;
    } cases[] = {{"from the findings", false, std::nullopt},
                 {"from the passed checks", true, std::nullopt},
                 {"during a filter change", false, report::ReportFilterChoice::blockers},
                 {"during a passed-list change", false, report::ReportFilterChoice::passed}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ScanReport first =
            namedReport(u"Alpha Tracker"_s, {u"Zulu entitlement gap"_s, u"Yankee icon size"_s},
                        {u"Xray manifest present"_s, u"Whiskey signature valid"_s});
        openAndSettle(first);
        auto* view = window.root().screen()->findChild<report::ReportView*>();
        ASSERT_NE(view, nullptr);
        if (c.showsPassedChecks) {
            view->togglePassedChecks();
            QTest::qWait(800);
        }
        const QImage firstImage = mainWindow().grab().toImage();
        const auto firstTexts = bw::test::paintedTexts(mainWindow());
        ASSERT_EQ(mainWindow().windowTitle(), u"Alpha Tracker"_s);
        if (c.clickedBeforeSwitch) {
            QTest::mouseClick(view->filterBar()->chip(*c.clickedBeforeSwitch), Qt::LeftButton);
            ASSERT_FALSE(view->findChildren<QWidget*>(u"leaving"_s).isEmpty());
        }

        const std::vector<Frame> frames = openRecording(second, 700);
        QTest::qWait(600);
        const QImage secondImage = mainWindow().grab().toImage();
        view = window.root().screen()->findChild<report::ReportView*>();
        ASSERT_NE(view, nullptr);
        const QRect content(view->mapTo(&mainWindow(), QPoint()), view->size());
        const std::vector<QRect> places =
            placesOfFirstOnly(firstTexts, bw::test::paintedTexts(mainWindow()), content);
        // The first report's finding titles or passed checks are among them.
        ASSERT_GE(places.size(), 2u);
        const double firstInk = bw::test::imageDistance(firstImage, secondImage, places);
        ASSERT_GT(firstInk, 0);
        ASSERT_GT(frames.size(), 5u);
        for (std::size_t i = 0; i < frames.size(); ++i) {
            EXPECT_EQ(frames[i].title, u"Bravo"_s) << "frame " << i;
            EXPECT_LT(bw::test::imageDistance(frames[i].image, secondImage, places),
                      0.15 * firstInk)
                << "frame " << i << " of " << frames.size() << " shows the first report";
        }
    }
}

} // namespace
} // namespace bw::window
