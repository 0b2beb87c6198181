// Every screen of the window at the sizes a user meets, left to right and mirrored, read as a user
// would: no text cut at an edge, none drawn over another, and mirrored the very texts of left to
// right, each in its own reading order. A real report (a fixture build scanned for real) is
// opened finding by finding. To check another screen or size, add a row to `screens` or `sizes`.

#include "app/AppModel.h"
#include "model/ReportStore.h"
#include "model/ScanPhase.h"
#include "tests/model/ReportSamples.h"
#include "tests/ui/TextLayout.h"
#include "tests/ui/window/ScannedWindow.h"
#include "ui/design/Symbols.h"
#include "ui/report/FindingList.h"
#include "ui/report/ReportView.h"
#include "ui/window/BerthwatchSidebar.h"
#include "ui/window/SidebarAppActionMenu.h"
#include "ui/window/SidebarAppButton.h"
#include "ui/workspace/ReviewScreensSection.h"
#include "ui/workspace/ScrollEdgeFade.h"
#include "ui/workspace/StagedBuildView.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTextEdit>
#include <cmath>
#include <gtest/gtest.h>
#include <map>
#include <vector>

namespace bw::window {
namespace {

using namespace Qt::Literals::StringLiterals;

using report::FindingList;
using report::ReportView;
using Check = std::function<void(const QString& state)>;

class ScreenLayoutTest : public test::ScannedWindowTest {};

using test::settleScreen;

// Lets the screen come to rest: an opened finding's row grows and its neighbours move for a while,
// and a text at the edge of the view shows or not by the moment it is looked at.
void settleUntilStill(QWidget& window) {
    QImage before;
    for (int turn = 0; turn < 100; ++turn) {
        const QImage now = window.grab().toImage();
        if (now == before) {
            return;
        }
        before = now;
        settleScreen();
    }
    ADD_FAILURE() << "the screen never comes to rest";
}

// The report with every finding opened in turn, scrolled so that the whole row is in view, and
// with the passed checks shown.
void visitReport(test::WindowHarness& window, const ScanReport& report, const Check& check) {
    window.model().openReport(report);
    settleScreen();
    auto* view = window.root().screen()->findChild<ReportView*>();
    ASSERT_NE(view, nullptr);
    check(u"closed"_s);
    for (const Finding& finding : view->visibleFindings()) {
        window.model().setSelectedFindingID(finding.id);
        settleScreen();
        FindingList& list = *view->findingList();
        ASSERT_TRUE(list.expandedRow().has_value());
        const QRect row = list.rowRect(*list.expandedRow());
        view->scrollArea()->ensureVisible(
            0, list.mapTo(view->scrollArea()->widget(), row.topLeft()).y() + row.height() / 2, 0,
            row.height() / 2);
        settleUntilStill(*window.window);
        check(u"finding "_s + finding.id);
    }
    window.model().setSelectedFindingID(std::nullopt);
    view->togglePassedChecks();
    settleScreen();
    check(u"passed checks"_s);
    view->togglePassedChecks();
    window.root().toggleSidebar();
    settleScreen();
    check(u"sidebar hidden"_s);
    window.root().toggleSidebar();
}

// A version and a build of 66 characters each stay on the identity line within the width.
void visitLongVersion(test::WindowHarness& window, const ScanReport& scanned, const Check& check) {
    ScanReport report = scanned;
    report.metadata.version = u"1.2.3-beta."_s + QString(55, u'4');
    report.metadata.buildNumber = u"20261208."_s + QString(57, u'7');
    window.model().openReport(report);
    settleScreen();
    check(u"long version"_s);
    // The page scrolls up and down only: nothing of it lies beyond the window's side.
    const auto* view = window.root().screen()->findChild<ReportView*>();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->scrollArea()->horizontalScrollBar()->maximum(), 0);
}

void visitStagedBuild(test::WindowHarness& window, const ScanReport&, const Check& check) {
    window.model().resetForNewScan();
    window.harness.stage(bw::test::fixtureBuild(u"Clean.ipa"_s));
    settleScreen();
    check(u"staged"_s);
    window.model().setScreenshotsAreStoreListing(true);
    settleScreen();
    check(u"App Store images"_s);
    window.root().screen()->findChild<workspace::ReviewScreensSection*>()->toggleStoreImageHelp();
    settleScreen();
    check(u"explanation"_s);
    window.model().setScreenshot(window.harness.folder.write(u"shot.gif"_s, "GIF89a"),
                                 ScreenshotPrompt::paywall);
    settleScreen();
    check(u"refused image"_s);
    // A build gone from its folder by the time it is scanned fails with a message naming it; a
    // folder with a long name, as builds are kept in, makes that message two lines.
    const QString folder = u"Release candidates for the App Store review/Version 1.4.2 (87)/"_s;
    const auto stageCopy = [&] {
        QFile fixture(bw::test::fixtureBuild(u"Clean.ipa"_s));
        EXPECT_TRUE(fixture.open(QIODevice::ReadOnly));
        const QString build =
            window.harness.folder.write(folder + u"Gone.ipa"_s, fixture.readAll());
        window.harness.stage(build);
        return build;
    };
    const auto advanceUntil = [&](const std::function<bool()>& done) {
        return bw::test::waitFor([&] {
            window.harness.clock.advance(std::chrono::seconds(1));
            return done();
        });
    };
    QFile::remove(stageCopy());
    window.model().startScan(false);
    ASSERT_TRUE(advanceUntil([&] {
        return std::holds_alternative<ScanPhase::Failed>(window.model().scanPhase().state);
    }));
    settleScreen();
    check(u"failed scan"_s);
    stageCopy();
    window.model().startScan(false);
    window.model().cancelScan();
    ASSERT_TRUE(advanceUntil([&] { return !window.model().isScanRunning(); }));
    ASSERT_TRUE(window.model().importMessage().has_value());
    settleScreen();
    check(u"cancelled scan"_s);
    window.harness.stage(
        window.harness.folder.write(folder + u"Broken.ipa"_s, "not a zip archive"));
    settleScreen();
    check(u"failed preview"_s);
}

void visitSection(AppSection section, test::WindowHarness& window, const Check& check) {
    window.model().resetForNewScan();
    window.model().setSection(section);
    settleScreen();
    check(rawValue(section));
}

// The start screen, and its notice refusing a file of another kind.
void visitStart(test::WindowHarness& window, const ScanReport&, const Check& check) {
    visitSection(AppSection::scan, window, check);
    window.model().importBuild(window.harness.folder.write(u"notes.txt"_s, "notes"));
    settleScreen();
    ASSERT_TRUE(window.model().importRejection().has_value());
    check(u"refused file"_s);
    window.model().setImportRejection(std::nullopt);
}

// A scan half way through its shortest presentation: its title, steps and percentage. Its work,
// done in a moment, is waited for, so that the screen is the same at every look.
void visitScanProgress(test::WindowHarness& window, const ScanReport&, const Check& check) {
    window.model().resetForNewScan();
    window.harness.stage(bw::test::fixtureBuild(u"Clean.ipa"_s));
    window.model().startScan(false);
    ASSERT_TRUE(bw::test::waitFor([&] {
        const auto* scanning = std::get_if<ScanPhase::Scanning>(&window.model().scanPhase().state);
        return scanning && scanning->progress >= 0.99;
    }));
    window.harness.clock.advance(std::chrono::seconds(18));
    settleScreen();
    check(u"scanning"_s);
    // The report comes once the shortest presentation has passed.
    ASSERT_TRUE(bw::test::waitFor([&] {
        window.harness.clock.advance(std::chrono::seconds(1));
        return !window.model().scanPhase().isBusy();
    }));
    settleScreen();
}

// The history, and the actions menu of the sidebar's app with the longest name.
void visitHistory(test::WindowHarness& window, const ScanReport&, const Check& check) {
    visitSection(AppSection::recents, window, check);
    const std::vector<SidebarAppButton*> rows = window.root().sidebar()->appRows();
    SidebarAppButton* longest = *std::max_element(rows.begin(), rows.end(), [](auto* a, auto* b) {
        return a->app().appName.size() < b->app().appName.size();
    });
    longest->showActionMenu();
    settleScreen();
    check(u"app actions"_s);
    longest->actionMenu()->close();
    settleScreen();
}

// The guidelines, and their empty state when nothing matches the search.
void visitGuidelines(test::WindowHarness& window, const ScanReport&, const Check& check) {
    visitSection(AppSection::guidelines, window, check);
    window.root().screen()->findChild<QLineEdit*>()->setText(u"no such rule"_s);
    settleScreen();
    check(u"no match"_s);
}

// Settings, and the question before its history is cleared.
void visitSettings(test::WindowHarness& window, const ScanReport&, const Check& check) {
    visitSection(AppSection::settings, window, check);
    QTest::mouseClick(bw::test::button(window.root(), u"Clear"_s), Qt::LeftButton);
    settleScreen();
    check(u"asking to clear"_s);
    ASSERT_TRUE(bw::test::answerConfirmation(u"Cancel"_s));
}

struct Screen {
    const char* name;
    std::function<void(test::WindowHarness&, const ScanReport&, const Check&)> visit;
};

const Screen screens[] = {
    {"report", visitReport},
    {"long version", visitLongVersion},
    {"staged build", visitStagedBuild},
    {"history", visitHistory},
    {"guidelines", visitGuidelines},
    {"settings", visitSettings},
    {"start", visitStart},
    {"scan progress", visitScanProgress},
};

// Sizes of the window's content: the minimum, the default and a large one.
const QSize sizes[] = {{960, 640}, {1120, 760}, {1400, 900}};

// Left to right, then mirrored as "-reverse" sets it.
const Qt::LayoutDirection directions[] = {Qt::LeftToRight, Qt::RightToLeft};

// With BW_SCREEN_SHOTS naming a folder, every state checked is also saved there as a picture,
// for a look by eye.
void saveShot(QWidget& window, const QString& name) {
    const QString folder = qEnvironmentVariable("BW_SCREEN_SHOTS");
    if (!folder.isEmpty()) {
        QString file = name;
        file.replace(QRegularExpression(u"[^A-Za-z0-9.-]+"_s), u"-"_s);
        EXPECT_TRUE(QDir().mkpath(folder) && window.grab().save(folder + u'/' + file + u".png"_s))
            << "cannot save pictures in " << folder.toStdString();
    }
}

// The staged page rests at its top: the edges of its view cut no line of its text, nor does its
// faded end dim one through its middle, whatever stands above or below the view.
std::vector<QString> textsCutByTheStagedPage(QWidget& window) {
    const auto pages = window.findChildren<workspace::StagedBuildView*>();
    const auto page = std::ranges::find_if(pages, [](auto* page) { return page->isVisible(); });
    if (page == pages.end()) {
        return {};
    }
    const QWidget& viewport = *(*page)->findChild<QScrollArea*>()->viewport();
    const QRectF view(viewport.mapTo(&window, QPoint()), viewport.size());
    const qreal faded = (*page)->pageFade().fadesEnd() ? workspace::ScrollEdgeFade::length / 2 : 0;
    std::vector<QString> faults;
    for (const bw::test::PaintedText& text : bw::test::paintedTexts(window)) {
        const QRectF& ink = text.ink;
        const auto cuts = [&](qreal edge, qreal reach) {
            return ink.top() < edge - 0.5 && ink.bottom() > edge - reach + 0.5;
        };
        if (ink.left() < view.right() && ink.right() > view.left() &&
            (cuts(view.top(), 0) || cuts(view.bottom(), faded))) {
            faults.push_back(
                u"cut by the staged page's view at %1: \"%2\""_s.arg(ink.top()).arg(text.text));
        }
    }
    return faults;
}

// The faults of the window and of whatever it has opened over itself (menus, questions).
std::vector<QString> faultsOfShownWindows() {
    std::vector<QString> faults;
    for (QWidget* shown : QApplication::topLevelWidgets()) {
        if (shown->isVisible()) {
            std::ranges::move(bw::test::textFaults(*shown), std::back_inserter(faults));
            std::ranges::move(textsCutByTheStagedPage(*shown), std::back_inserter(faults));
        }
    }
    return faults;
}

// The pieces of text the shown windows paint, each with its ink measured from its window's
// leading edge, so that mirrored each stands where its left to right self stands, mirrored. A
// text read in another order than its own (a date as "2026 Aug 1", "attention 1") is painted in
// other pieces. A chevron pointing forward points left when mirrored: either way it is one piece.
struct PlacedText {
    QString text;
    QRectF ink;
};

std::vector<PlacedText> textsOfShownWindows() {
    const auto glyph = [](QStringView name) {
        const char32_t codePoint = design::symbolCodePoint(name).value();
        return QString::fromUcs4(&codePoint, 1);
    };
    std::vector<PlacedText> texts;
    for (QWidget* shown : QApplication::topLevelWidgets()) {
        if (!shown->isVisible()) {
            continue;
        }
        for (const bw::test::PaintedText& text : bw::test::paintedTexts(*shown)) {
            QRectF ink = text.ink;
            if (shown->isRightToLeft()) {
                ink.moveLeft(shown->width() - text.ink.right());
            }
            texts.push_back(
                {QString(text.text).replace(glyph(u"chevron.left"), glyph(u"chevron.right")), ink});
        }
    }
    return texts;
}

// The pieces of `leftToRight` that `mirrored` lacks at their places, and the pieces left over.
std::vector<QString> unmirroredTexts(const std::vector<PlacedText>& leftToRight,
                                     std::vector<PlacedText> mirrored) {
    std::vector<QString> faults;
    const auto describe = [](const PlacedText& text) {
        return u"\"%1\" at %2,%3"_s.arg(text.text).arg(text.ink.left()).arg(text.ink.top());
    };
    for (const PlacedText& text : leftToRight) {
        // A glyph's ink is its own mirror image to a few points.
        const auto same = std::ranges::find_if(mirrored, [&](const PlacedText& other) {
            return other.text == text.text && std::abs(other.ink.left() - text.ink.left()) <= 4 &&
                   std::abs(other.ink.top() - text.ink.top()) <= 4;
        });
        if (same == mirrored.end()) {
            faults.push_back(u"not mirrored: "_s + describe(text));
        } else {
            mirrored.erase(same);
        }
    }
    for (const PlacedText& text : mirrored) {
        faults.push_back(u"mirrored only: "_s + describe(text));
    }
    return faults;
}

TEST_F(ScreenLayoutTest, EveryTextIsWholeAndApartAtEverySize) {
    std::map<QString, std::vector<PlacedText>> textsLeftToRight;
    for (const Qt::LayoutDirection direction : directions) {
        if (direction == Qt::RightToLeft) {
            QApplication::setLayoutDirection(direction);
            relaunchOverTheSuitesHistory();
        }
        const QString mirrored = direction == Qt::RightToLeft ? u"mirrored "_s : QString();
        for (const Screen& screen : screens) {
            for (const QSize size : sizes) {
                // The content gets the size; the menu bar comes on top.
                window().window->resize(size + QSize(0, window().window->menuBar()->height()));
                settleScreen();
                ASSERT_EQ(window().root().size(), size);
                screen.visit(window(), report(), [&](const QString& state) {
                    const QString name = u"%1-%2x%3-%4"_s.arg(QString::fromUtf8(screen.name))
                                             .arg(size.width())
                                             .arg(size.height())
                                             .arg(state);
                    saveShot(*window().window, mirrored + name);
                    const std::string where = mirrored.toStdString() + name.toStdString();
                    for (const QString& fault : faultsOfShownWindows()) {
                        ADD_FAILURE() << where << ": " << fault.toStdString();
                    }
                    const std::vector<PlacedText> texts = textsOfShownWindows();
                    if (direction == Qt::LeftToRight) {
                        textsLeftToRight[name] = texts;
                    } else {
                        for (const QString& fault :
                             unmirroredTexts(textsLeftToRight[name], texts)) {
                            ADD_FAILURE() << where << ": " << fault.toStdString();
                        }
                    }
                });
            }
        }
    }
    QApplication::setLayoutDirection(Qt::LeftToRight);
    relaunchOverTheSuitesHistory();
}

// The notice of a history that was partly set aside names the file it went to: it is read whole,
// path and all, at every size.
TEST_F(ScreenLayoutTest, ANoticeNamingAFileIsWholeAtEverySize) {
    const std::vector<ScanReport> history = bw::test::sampleHistory(6);
    window().quit();
    ReportStore(window().harness.history).save(history);
    // The first report's verdict spoiled, with no backup to restore it from.
    QFile file(window().harness.history + u"/reports.json"_s);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    bytes.replace(bytes.indexOf("needsAttention"), 14, "maybe");
    ASSERT_TRUE(file.resize(0) && file.write(bytes) == bytes.size());
    file.close();
    QFile::remove(window().harness.history + u"/reports.backup.json"_s);
    window().launch();
    ASSERT_TRUE(model().reportNotice().has_value());
    ASSERT_TRUE(model().reportNotice()->contains(u"reports.corrupt-"_s));
    // Lines broken anywhere, even inside the path, still hold every character in order.
    const auto unbroken = [](QString text) { return text.remove(QRegularExpression(u"\\s"_s)); };
    const QString notice = unbroken(*model().reportNotice());
    const auto check = [&](QSize size, const char* state) {
        // The section's change of screen has ended.
        QTest::qWait(400);
        settleScreen();
        saveShot(*window().window,
                 u"notice-%1x%2-%3"_s.arg(size.width()).arg(size.height()).arg(state));
        for (const QString& fault : faultsOfShownWindows()) {
            ADD_FAILURE() << state << " at " << size.width() << "×" << size.height() << ": "
                          << fault.toStdString();
        }
        QString painted;
        for (const bw::test::PaintedText& text : bw::test::paintedTexts(*window().window)) {
            painted += text.text;
        }
        EXPECT_TRUE(unbroken(painted).contains(notice))
            << state << " at " << size.width() << "×" << size.height() << " shows not all of "
            << notice.toStdString();
    };
    for (const QSize size : sizes) {
        window().window->resize(size + QSize(0, window().window->menuBar()->height()));
        model().setSection(AppSection::scan);
        check(size, "start");
        model().setSection(AppSection::recents);
        check(size, "history");
    }
    // The suite's other tests read the history it began with.
    relaunchOverTheSuitesHistory();
}

} // namespace
} // namespace bw::window
