#include "tests/support/FieldOf.h"
#include "tests/support/QtPrinters.h"
#include "tests/ui/TextLayout.h"
#include "tests/ui/Widgets.h"
#include "tests/ui/report/ReportScreen.h"
#include "ui/design/Motion.h"
#include "ui/report/FindingCopyButton.h"
#include "ui/report/FindingDetailRow.h"
#include "ui/report/FindingList.h"
#include "ui/report/FindingResolutionPanel.h"
#include "ui/report/FindingRow.h"
#include "ui/report/FindingRowHeader.h"
#include "ui/report/LongText.h"
#include "ui/report/ReadingText.h"
#include "ui/report/ReportFilterBar.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QEnterEvent>
#include <QGraphicsOpacityEffect>
#include <QPointer>
#include <QScrollArea>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

using namespace bw;
using namespace bw::report;
using namespace bw::test;
using namespace Qt::Literals::StringLiterals;

namespace {

FindingResolutionPanel* openPanel(ReportView& view, std::size_t row) {
    FindingRow* built = view.findingList()->builtRow(row);
    QTest::mouseClick(built->header(), Qt::LeftButton, {}, QPoint(8, 8));
    return view.findingList()->builtRow(row)->panel();
}

} // namespace

TEST(FindingResolutionPanel, EveryTextIsWholeAtEveryWidth) {
    Finding finding = craftedFinding(u"long"_s, FindingSeverity::blocker);
    const QString sentence = u"The release build must be compared with its App Store Connect "
                             "record before submission so that nothing differs. "_s;
    finding.detail = sentence.repeated(4);
    finding.evidence =
        u"codesign: a sealed resource is missing or invalid"_s +
        u"\nfile modified: Payload/App.app/Frameworks/Kit.framework/Info.plist"_s.repeated(17);
    finding.evidenceFields.reset();
    finding.resolution = FindingResolution{
        sentence.repeated(2),
        {{u"Open the record"_s, sentence.repeated(3)}, {u"Compare"_s, u"release build."_s}},
        {},
        {}};
    ReportScreen screen(reportWith({finding}));
    design::MotionPreferences::instance().overrideReduceMotion(true); // opened at once, at rest
    QTest::mouseClick(openPanel(screen.view(), 0)->findChild<TechnicalDetailsToggle*>(),
                      Qt::LeftButton);
    // From the narrowest report column to a wide desktop, either side of the reading column.
    for (const int width : {680, 816, 900, 1120, 1400, 2400}) {
        screen.view().resize(width, 800);
        settle();
        const FindingRow* row = screen.view().findingList()->builtRow(0);
        EXPECT_EQ(textFaults(screen.view()), std::vector<QString>()) << "at " << width;
        EXPECT_GE(screen.view().findingList()->rowRect(0).height(),
                  row->heightForWidth(row->width()))
            << "at " << width;
    }
}

// Thousands of lines of tool output show whole: the page reaches the last one, drawn where it
// belongs, and the pointer and the keys select and copy from it.
TEST(FindingEvidenceView, ALongNoteShowsToItsLastLineAndCopies) {
    Finding finding = craftedFinding(u"long"_s, FindingSeverity::blocker);
    finding.evidenceFields.reset();
    QStringList lines;
    for (int i = 0; i < 3000; ++i) {
        lines << u"Payload/App.app/Resources/image-%1.png: a sealed resource is invalid"_s.arg(i);
    }
    finding.evidence = lines.join(u'\n');
    ReportScreen screen(reportWith({finding}));
    design::MotionPreferences::instance().overrideReduceMotion(true);
    auto* note = named<LongText>(*openPanel(screen.view(), 0), finding.evidence);
    ASSERT_TRUE(note);
    settle();
    QScrollArea* page = screen.view().scrollArea();
    const QPoint end = note->mapTo(page->widget(), QPoint(0, note->height()));
    page->ensureVisible(end.x(), end.y(), 0, 0);
    settle();
    const auto painted = fieldOf(paintedTexts(screen.view()), &PaintedText::text);
    EXPECT_NE(std::ranges::find(painted, lines.last()), painted.end());
    EXPECT_EQ(textFaults(screen.view()), std::vector<QString>());

    QTest::mouseDClick(note, Qt::LeftButton, {}, QPoint(30, note->height() - 8));
    EXPECT_EQ(note->selectedText(), u"Payload"_s);
    QTest::keyClick(note, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(note, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), finding.evidence);
}

namespace {

// The lowest pixel row of the first line of ink in columns [left, right) of `image`: for a text
// without descenders, the row its letters stand on.
int firstLineFoot(const QImage& image, int left, int right) {
    int strongest = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = left; x < right; ++x) {
            strongest = std::max(strongest, qAlpha(image.pixel(x, y)));
        }
    }
    int foot = -1;
    for (int y = 0; y < image.height(); ++y) {
        bool inked = false;
        for (int x = left; x < right && !inked; ++x) {
            // Less than half the strongest ink is antialiasing: a round letter's overshoot.
            inked = qAlpha(image.pixel(x, y)) * 2 > strongest;
        }
        if (inked) {
            foot = y;
        } else if (foot >= 0) {
            break;
        }
    }
    return foot;
}

} // namespace

// An evidence line and a technical detail draw their label and value on one first baseline, to
// the pixel, whatever their sizes and however many lines either takes.
TEST(FindingDetailRow, LabelAndValueShareTheirFirstBaseline) {
    // Texts without descenders, so that the foot of their ink is their baseline.
    const struct {
        QString label;
        QString value;
        design::TextStyle valueRole;
    } rows[] = {
        {u"Entitlement"_s, u"absent"_s, design::TextStyle::monoLabel},
        {u"Bundle"_s, u"com.abcde.watch"_s, design::TextStyle::monoCaption},
        {u"A label much wider than its column"_s, u"released "_s.repeated(12),
         design::TextStyle::monoLabel},
        {u"Build"_s, u"2026.11.8"_s, design::TextStyle::body},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label.toStdString());
        FindingDetailRow detail(row.label, row.value, row.valueRole);
        detail.resize(420, detail.heightForWidth(420));
        detail.show();
        settle();
        const QImage drawn = drawnAlone(detail);
        // The label's column is 92 wide, the value starts 12 after it.
        const int label = firstLineFoot(drawn, 0, 92);
        ASSERT_GT(label, 0);
        EXPECT_EQ(label, firstLineFoot(drawn, 104, drawn.width()));
    }
}

TEST(FindingResolutionPanel, ShowsItsSectionsNumberedStepsAndTechnicalDetailsOnRequest) {
    Finding withCode = craftedFinding(u"with.code"_s, FindingSeverity::risk);
    withCode.itms = u"ITMS-90078"_s;
    withCode.source = EvidenceSource::appStoreConnect;
    withCode.resolution = FindingResolution{
        u"Summary"_s,
        {{u"One"_s, u"Do one"_s}, {u"Two"_s, u"Do two"_s}, {u"Three"_s, u"Do three"_s}},
        {},
        {}};
    ReportScreen screen(
        reportWith({withCode, craftedFinding(u"plain"_s, FindingSeverity::manual)}));
    struct Case {
        std::size_t row;
        QString section;
        std::vector<QString> steps;
        bool itms; // the code shows among the technical details only when there is one
    };
    const Case cases[] = {
        {0, u"Recommended change"_s, {u"1"_s, u"2"_s, u"3"_s}, true},
        {1, u"Review checklist"_s, {u"1"_s, u"2"_s}, false},
    };
    for (const Case& c : cases) {
        FindingResolutionPanel* panel = openPanel(screen.view(), c.row);
        ASSERT_NE(panel, nullptr);
        const QStringList texts = shownTexts(panel);
        EXPECT_TRUE(texts.contains(u"What we found"_s));
        EXPECT_TRUE(texts.contains(c.section));
        EXPECT_EQ(fieldOf(panel->findChildren<QWidget*>(u"stepNumber"_s), &QWidget::accessibleName),
                  c.steps);
        EXPECT_FALSE(texts.contains(u"Finding ID"_s));

        auto* toggle = panel->findChild<TechnicalDetailsToggle*>();
        EXPECT_EQ(toggle->accessibleDescription(), u"Show technical finding details"_s);
        QTest::mouseClick(toggle, Qt::LeftButton);
        EXPECT_EQ(toggle->accessibleDescription(), u"Hide technical finding details"_s);
        const QStringList opened = shownTexts(panel);
        EXPECT_TRUE(opened.contains(u"Finding ID"_s));
        EXPECT_EQ(opened.contains(u"ITMS code"_s), c.itms);
    }
    // Reopening a row shows its technical details closed again.
    FindingResolutionPanel* again = openPanel(screen.view(), 0);
    EXPECT_FALSE(again->showsTechnicalDetails());
    EXPECT_FALSE(shownTexts(again).contains(u"App Store Connect"_s));
}

// Closing the technical details or the whole panel: the state changes at once, the height follows
// with a spring unless motion is reduced.
TEST(FindingRow, ClosingNowAndDrawingTheCloseWithASpringUnlessMotionIsReduced) {
    for (const bool details : {false, true}) {
        for (const bool reduceMotion : {false, true}) {
            ReportScreen screen(ScanReport::sample());
            FindingList* list = screen.view().findingList();
            design::MotionPreferences::instance().overrideReduceMotion(true);
            const int collapsedRow = list->rowRect(0).height();
            FindingResolutionPanel* panel = openPanel(screen.view(), 0);
            settle();
            const int closedHeight = details ? panel->height() : collapsedRow;
            auto* toggle = panel->findChild<TechnicalDetailsToggle*>();
            if (details) {
                QTest::mouseClick(toggle, Qt::LeftButton);
            }
            design::MotionPreferences::instance().overrideReduceMotion(reduceMotion);
            const auto shownHeight = [&] {
                settle();
                return details ? panel->height() : list->rowRect(0).height();
            };
            const int openHeight = shownHeight();
            QTest::mouseClick(details ? static_cast<QWidget*>(toggle) : list->builtRow(0)->header(),
                              Qt::LeftButton);
            EXPECT_FALSE(details ? panel->showsTechnicalDetails()
                                 : list->builtRow(0)->panel() != nullptr);
            const int closing = shownHeight();
            EXPECT_EQ(closing == closedHeight, reduceMotion) << details;
            EXPECT_LE(closing, openHeight) << details;
            EXPECT_TRUE(QTest::qWaitFor([&] { return shownHeight() == closedHeight; })) << details;
        }
    }
}

TEST(FindingRow, TabReachesAnOpenRowsControlsRightAfterItsHeaderAndAClickTakesNoFocus) {
    ReportScreen screen(ScanReport::sample());
    ReportView& view = screen.view();
    view.activateWindow();
    QApplication::setActiveWindow(&view);
    FindingList* list = view.findingList();
    QWidget* all = view.filterBar()->chip(ReportFilterChoice::all);
    // The window coming forward hands its first control the focus; the click starts from none.
    if (QWidget* focused = QApplication::focusWidget()) {
        focused->clearFocus();
    }
    QTest::mouseClick(all, Qt::LeftButton);
    EXPECT_FALSE(all->hasFocus()); // a click leaves no focus, so no ring
    FindingResolutionPanel* panel = openPanel(view, 1);
    settle();
    view.filterBar()->chip(ReportFilterChoice::passed)->setFocus(Qt::TabFocusReason);
    const std::vector<QWidget*> expected = {
        list->builtRow(0)->header(), list->builtRow(1)->header(),
        panel->findChild<FindingCopyButton*>(), panel->findChild<TechnicalDetailsToggle*>(),
        list->builtRow(2)->header()};
    for (QWidget* next : expected) {
        const QImage unfocused = next->grab().toImage();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next) << next->accessibleName().toStdString();
        // The keyboard's place shows.
        EXPECT_NE(next->grab().toImage(), unfocused) << next->accessibleName().toStdString();
    }
}

TEST(FindingCopyButton, ConfirmsOnlyCopiesTheClipboardHoldsAndOnlyTheLastTimerEndsIt) {
    ReportScreen screen(ScanReport::sample());
    auto* button = openPanel(screen.view(), 0)->findChild<FindingCopyButton*>();
    const auto clickAt = [&](double seconds) {
        screen.clock.advance(bw::seconds(seconds));
        QTest::mouseClick(button, Qt::LeftButton);
    };
    EXPECT_EQ(button->shownText(), u"Copy fix instructions"_s);
    clickAt(0);
    EXPECT_TRUE(button->didCopy());
    EXPECT_EQ(button->shownText(), u"Copied"_s);
    EXPECT_TRUE(screen.clipboard().contains(ScanReport::sample().findings.front().title));
    clickAt(1.0);
    clickAt(1.0);
    screen.clock.advance(bw::seconds(1.3)); // 3.3 s after the first click
    EXPECT_TRUE(button->didCopy());
    screen.clock.advance(bw::seconds(0.1));
    EXPECT_FALSE(button->didCopy());
    EXPECT_EQ(button->toolTip(), u"Copy fix instructions"_s);

    ReportScreen refusing(ScanReport::sample(), true);
    auto* refused = openPanel(refusing.view(), 0)->findChild<FindingCopyButton*>();
    QTest::mouseClick(refused, Qt::LeftButton);
    EXPECT_FALSE(refused->didCopy());
    EXPECT_EQ(refused->shownText(), u"Copy fix instructions"_s);
    EXPECT_EQ(refusing.clock.pendingCount(), 0u);
}

TEST(FindingRow, UntrustedTextsShowAsWrittenAndLineBreaksAddLines) {
    const QString title = u"<b>Bold</b> \u200Fمرحبا\u200F"_s;
    Finding single = craftedFinding(u"a"_s, FindingSeverity::blocker, title);
    Finding broken = craftedFinding(u"b"_s, FindingSeverity::blocker, title + u"\nsecond line"_s);
    broken.detail = u"<i>detail</i>\r\n\u202Eevil"_s;
    // One word wider than the row wraps inside the word rather than being cut.
    Finding word = craftedFinding(u"c"_s, FindingSeverity::blocker, u"x"_s.repeated(400));
    word.detail = word.title;
    ReportScreen screen(reportWith({single, broken, word}));
    FindingList* list = screen.view().findingList();
    EXPECT_EQ(list->builtRow(0)->header()->accessibleName(), u"Blocker, "_s + title);
    EXPECT_GT(list->rowRect(1).height(), list->rowRect(0).height());
    EXPECT_GT(list->rowRect(2).height(), list->rowRect(1).height());

    // Markup shows as written; a word longer than the panel is wide wraps.
    broken.detail.replace(u"\r\n"_s, u"\n"_s);
    const QStringList texts = shownTexts(openPanel(screen.view(), 1));
    EXPECT_TRUE(texts.contains(broken.detail));
    const auto* longWord = openPanel(screen.view(), 2)->findChild<report::ReadingText*>();
    EXPECT_GT(longWord->heightForWidth(600), 3 * longWord->fontMetrics().height());
}

TEST(FindingCopyButton, ItsFillStaysBetweenItsTwoColoursThroughBothSprings) {
    ReportScreen screen(ScanReport::sample());
    auto* button = openPanel(screen.view(), 0)->findChild<FindingCopyButton*>();
    // Under the pointer the normal fill is opaque, so an undershoot would push alpha past 1.
    QEnterEvent enter(QPointF(10, 10), QPointF(10, 10), QPointF(10, 10));
    QApplication::sendEvent(button, &enter);
    QTest::qWait(200);
    const QColor normal = button->fillColor();
    QTest::mouseClick(button, Qt::LeftButton);
    std::vector<QColor> seen;
    const auto sampleFor = [&](int milliseconds) {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < milliseconds) {
            QTest::qWait(4);
            seen.push_back(button->fillColor());
        }
    };
    sampleFor(700);
    const QColor copied = button->fillColor();
    EXPECT_EQ(button->hoverProgress(), 0);  // no hover growth while confirming
    screen.clock.advance(bw::seconds(1.4)); // the confirmation ends, the pointer still on it
    sampleFor(700);
    const auto within = [](int value, int a, int b) {
        return value >= std::min(a, b) && value <= std::max(a, b);
    };
    for (const QColor& color : seen) {
        ASSERT_TRUE(color.isValid());
        EXPECT_TRUE(within(color.red(), normal.red(), copied.red()) &&
                    within(color.green(), normal.green(), copied.green()) &&
                    within(color.blue(), normal.blue(), copied.blue()) &&
                    within(color.alpha(), normal.alpha(), copied.alpha()))
            << color.name(QColor::HexArgb).toStdString();
    }
    EXPECT_EQ(button->fillColor(), normal);
}

// The category symbol brightens and dims with the pointer through in-between colours; the rule
// under an opening or closing header fades where it stands, from the first frame to the last.
TEST(FindingRow, TheSymbolEasesWithTheHoverAndTheRuleFadesInPlace) {
    design::MotionPreferences::instance().overrideReduceMotion(false);
    SteppedFrames animations;
    ReportScreen screen(ScanReport::sample());
    FindingRow* row = screen.view().findingList()->builtRow(0);
    FindingRowHeader* header = row->header();
    for (const bool hovering : {true, false}) {
        const QImage from = drawnAlone(*header);
        QEnterEvent enter(QPointF(10, 10), QPointF(10, 10), QPointF(10, 10));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(row, hovering ? static_cast<QEvent*>(&enter) : &leave);
        std::vector<QImage> frames;
        animations.playFor(300, [&] { frames.push_back(drawnAlone(*header)); });
        const QImage to = frames.back();
        ASSERT_NE(to, from) << hovering;
        // A jump shows none in between.
        EXPECT_GE(
            std::ranges::count_if(frames, [&](const QImage& f) { return f != from && f != to; }), 1)
            << hovering;
    }

    const int ruleLine = header->height();
    // The rule's ink over what the row draws just under it (the open panel's top padding).
    const auto ruleInk = [&] {
        const QImage image = drawnAlone(*row);
        const int x = image.width() / 2;
        return qAlpha(image.pixel(x, ruleLine)) - qAlpha(image.pixel(x, ruleLine + 2));
    };
    QPointer<QWidget> panel;
    for (const bool opening : {true, false}) {
        QTest::mouseClick(header, Qt::LeftButton, {}, QPoint(8, 8));
        panel = opening ? row->panel() : panel.data();
        ASSERT_TRUE(panel);
        std::vector<std::pair<double, int>> frames; // the panel's opacity, the rule's ink
        int squeezed = 0; // samples with the header cut short, the rule moved up with it
        animations.playFor(700, [&] {
            squeezed += header->height() != ruleLine ? 1 : 0;
            // The panel's fade, on the panel or on what holds it.
            const QGraphicsOpacityEffect* fade = nullptr;
            for (QWidget* part = panel; part && part != row && !fade; part = part->parentWidget()) {
                fade = qobject_cast<QGraphicsOpacityEffect*>(part->graphicsEffect());
            }
            if (fade && row->height() > ruleLine + 2) {
                frames.emplace_back(fade->opacity(), ruleInk());
            }
        });
        ASSERT_GT(frames.size(), 3u) << opening;
        EXPECT_EQ(squeezed, 0) << opening;
        for (const auto& [opacity, ink] : frames) {
            // With the panel a quarter in, the rule shows where it stands.
            if (opacity > 0.25) {
                EXPECT_GT(ink, 0) << opening << " at " << opacity;
            }
        }
        const int full = std::ranges::max(frames, {}, &std::pair<double, int>::second).second;
        EXPECT_LT(opening ? frames.front().second : frames.back().second, full) << opening;
    }
    design::MotionPreferences::instance().overrideReduceMotion({});
}
