// What the window draws while it goes from one report to another, also while a filter change
// still fades the old list out: every frame holds the texts of one report only, the one the
// title names. And what it draws while a filter changes: the section under the filter bar only.

#include "app/AppModel.h"
#include "tests/ui/TextLayout.h"
#include "tests/ui/Widgets.h"
#include "tests/ui/window/WindowHarness.h"
#include "ui/design/Motion.h"
#include "ui/report/FindingList.h"
#include "ui/report/ReportFilterBar.h"
#include "ui/report/ReportOverviewView.h"
#include "ui/report/ReportView.h"

#include <QElapsedTimer>
#include <QImage>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>
#include <optional>
#include <ranges>

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
        bw::test::SteppedFrames animations;
        window.model().openReport(report);
        std::vector<Frame> frames;
        animations.playFor(
            ms,
            [&] {
                // What a frame would show: the window draws once the layouts have had their turn.
                QCoreApplication::sendPostedEvents();
                frames.push_back({mainWindow().grab().toImage(), mainWindow().windowTitle()});
            },
            1);
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

// "Your build stays on this computer." stands lower on the report than on the home screen: no
// frame of the report's coming in shows it twice.
TEST_F(ReportSwitchTest, TheOnDeviceLineShowsOnceWhileTheReportComesIn) {
    const auto frames = openRecording(namedReport(u"Alpha Tracker"_s, {u"Zulu"_s}, {}), 600);
    QTest::qWait(600);
    const auto texts = bw::test::paintedTexts(mainWindow());
    const auto line = std::ranges::find(texts, u"Your build stays on this computer."_s,
                                        &bw::test::PaintedText::text);
    ASSERT_NE(line, texts.end());
    const QRect ink = line->ink.toAlignedRect();
    ASSERT_GE(frames.size(), 3u); // a loaded machine draws few frames of the switch, but some
    for (std::size_t i = 0; i < frames.size(); ++i) {
        // The rows with ink from 24 points above the line down to it, against the background.
        int rows = 0;
        for (int y = ink.top() - 24; y <= ink.bottom(); ++y) {
            const int background = qGray(frames[i].image.pixel(ink.left() - 8, y));
            rows += std::ranges::any_of(std::views::iota(ink.left(), ink.right() + 1), [&](int x) {
                return qGray(frames[i].image.pixel(x, y)) > background + 24;
            });
        }
        EXPECT_LE(rows, ink.height() + 1) << "frame " << i << " of " << frames.size();
    }
}

// A filter change redraws the section under the filter bar only: no frame the window draws while
// it runs shows the overview otherwise than it stood, and with reduce motion the section shows the
// old content or the new one in its place, nothing between.
TEST_F(ReportSwitchTest, AFilterChangeRedrawsOnlyTheSectionUnderTheFilterBar) {
    using enum report::ReportFilterChoice;
    const ScanReport shown =
        namedReport(u"Alpha Tracker"_s,
                    {u"Zulu entitlement gap"_s, u"Yankee icon size"_s, u"Victor purpose string"_s},
                    {u"Xray manifest present"_s, u"Whiskey signature valid"_s});
    // What the window has drawn last: its backing store, not a picture drawn apart.
    const auto drawn = [this] {
        return mainWindow().screen()->grabWindow(mainWindow().winId()).toImage();
    };
    // More apart than the faint redraw of the backdrop behind a part.
    const auto differs = [](const QImage& a, const QImage& b, const QRect& area) {
        return bw::test::imageDistance(a, b, {area}) > area.width() * area.height();
    };
    for (const QSize size : {QSize(960, 640), QSize(1120, 760), QSize(1400, 900)}) {
        for (const bool reduceMotion : {false, true}) {
            SCOPED_TRACE(testing::Message() << size.width() << (reduceMotion ? " reduced" : ""));
            design::MotionPreferences::instance().overrideReduceMotion(reduceMotion);
            mainWindow().resize(size);
            openAndSettle(shown);
            for (QImage last; last != drawn(); QTest::qWait(100)) {
                last = drawn(); // until the completion route has landed
            }
            auto* view = window.root().screen()->findChild<report::ReportView*>();
            ASSERT_NE(view, nullptr);
            const auto inWindow = [&](const QWidget* part) {
                return QRect(part->mapTo(&mainWindow(), QPoint()), part->size()) &
                       QRect(view->mapTo(&mainWindow(), QPoint()), view->size());
            };
            const QRect overview = inWindow(view->findChild<report::ReportOverviewView*>());
            const QRect section = inWindow(view->findingList()->parentWidget());
            for (const auto chip : {passed, all, passed, blockers}) {
                SCOPED_TRACE(static_cast<int>(chip));
                const QImage before = drawn();
                QTest::mouseClick(view->filterBar()->chip(chip), Qt::LeftButton);
                std::vector<QImage> frames;
                QElapsedTimer elapsed;
                elapsed.start();
                while (elapsed.elapsed() < 300) {
                    QTest::qWait(1);
                    if (frames.empty() || drawn() != frames.back()) {
                        frames.push_back(drawn());
                    }
                }
                const QImage after = drawn();
                int brokenOverview = 0;
                int misplacedSection = 0;
                for (const QImage& frame : frames) {
                    brokenOverview += differs(frame, before, overview);
                    misplacedSection += reduceMotion && differs(frame, before, section) &&
                                        differs(frame, after, section);
                }
                EXPECT_EQ(brokenOverview, 0) << "of " << frames.size() << " frames";
                EXPECT_EQ(misplacedSection, 0) << "of " << frames.size() << " frames";
            }
        }
    }
}

} // namespace
} // namespace bw::window
