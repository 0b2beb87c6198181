#include "ui/window/SettingsView.h"

#include "app/UpdateController.h"
#include "platform/clock/ManualClock.h"
#include "services/info/ApplicationInfo.h"
#include "tests/model/ReportSamples.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/SilentPresenter.h"
#include "tests/ui/HistoryFixture.h"
#include "tests/ui/Widgets.h"
#include "ui/design/KeyboardFocus.h"
#include "ui/window/SettingsBlocks.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QTest>
#include <gtest/gtest.h>

using namespace bw;
using namespace bw::window;
using bw::test::ModelWithHistory;

namespace {

struct Settings {
    explicit Settings(int count, UpdateController* updates = nullptr, QString folder = {},
                      const ApplicationInfo* info = nullptr)
        : history(bw::test::sampleHistory(count, false)) {
        SettingsEnvironment environment;
        environment.info = info;
        environment.open = [this](const QUrl& url) {
            opened.push_back(url);
            return opens;
        };
        environment.storageFolder = folder;
        view = std::make_unique<SettingsView>(history.model(), updates, environment);
        view->resize(900, 900);
        view->show();
        QApplication::processEvents();
    }

    QAbstractButton* button(const QString& name) const {
        return bw::test::named<QAbstractButton>(*view, name);
    }
    SettingsRow* row(const QString& title) const {
        return bw::test::named<SettingsRow>(*view, title);
    }

    void clearAndAnswer(const QString& answer) const {
        QTest::mouseClick(button("Clear"), Qt::LeftButton);
        ASSERT_TRUE(bw::test::answerConfirmation(answer));
    }

    ModelWithHistory history;
    std::vector<QUrl> opened;
    bool opens = true;
    std::unique_ptr<SettingsView> view;
};

} // namespace

TEST(SettingsView, ShowsTheCountAndFolderOfTheHistory) {
    for (const int count : {0, 1, 2}) {
        Settings settings(count);
        const QString expected[] = {"No reports saved on this computer.", "1 report saved locally.",
                                    "2 reports saved locally."};
        EXPECT_EQ(settings.row("Saved reports")->detail(), expected[count]);
        EXPECT_EQ(settings.row("Storage location")->detail(),
                  QDir::toNativeSeparators(settings.history.history));
        EXPECT_EQ(settings.button("Clear")->isEnabled(), count > 0);
    }
}

// A pill shows the focus ring once Tab has brought the focus; clearing asks first, empties the
// history on disk and on the page, and leaves the page where it was, also when the page is shorter
// than its content. The focus stays where a click left it; after the keyboard cleared, it goes
// from the disabled button to the page's first control, with its ring.
TEST(SettingsView, OnlyTheKeyboardRingsAPillAndClearingMovesNeitherFocusNorPage) {
    for (const bool byKeyboard : {false, true}) {
        SCOPED_TRACE(byKeyboard ? "keyboard" : "mouse");
        Settings settings(2);
        settings.view->resize(712, 460);
        ASSERT_TRUE(QTest::qWaitForWindowActive(settings.view.get()));
        QAbstractButton* clear = settings.button("Clear");
        if (byKeyboard) {
            for (int tab = 0; tab < 10 && !clear->hasFocus(); ++tab) {
                QTest::keyClick(settings.view.get(), Qt::Key_Tab);
            }
            EXPECT_TRUE(design::showsFocusRing(*clear));
            QTest::keyClick(clear, Qt::Key_Space);
        } else {
            QTest::mouseClick(clear, Qt::LeftButton);
        }
        const QScrollBar& scroll = *settings.view->findChild<QScrollArea*>()->verticalScrollBar();
        const int shown = scroll.value();
        const QWidget* focused = settings.view->focusWidget();
        ASSERT_TRUE(bw::test::answerConfirmation("Clear History"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return settings.history.onDisk().empty(); }));
        settings.view->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(settings.view.get()));
        bw::test::settle();
        EXPECT_EQ(scroll.value(), shown);
        EXPECT_EQ(settings.row("Saved reports")->detail(), "No reports saved on this computer.");
        EXPECT_FALSE(clear->isEnabled());
        EXPECT_EQ(settings.view->problem(), "");
        EXPECT_FALSE(settings.button("Email")->hasFocus());
        QAbstractButton* reveal = settings.button("Reveal");
        EXPECT_EQ(settings.view->focusWidget(), byKeyboard ? reveal : focused);
        EXPECT_EQ(design::showsFocusRing(*reveal), byKeyboard);
    }
}

TEST(SettingsView, AFailedClearIsShownHereAndKeepsEverything) {
    Settings settings(2);
    settings.history.makeUnwritable();
    for (int attempt = 0; attempt < 2; ++attempt) {
        settings.clearAndAnswer("Clear History");
        ASSERT_TRUE(QTest::qWaitFor([&] { return !settings.view->problem().isEmpty(); }));
        EXPECT_EQ(settings.view->problem(), settings.history.model().reportNotice().value_or(""));
        EXPECT_TRUE(settings.view->problem().startsWith("Report history could not be cleared"));
        EXPECT_EQ(settings.row("Saved reports")->detail(), "2 reports saved locally.");
        EXPECT_TRUE(settings.button("Clear")->isEnabled());
    }
    EXPECT_EQ(settings.history.onDisk().size(), 2u);
}

TEST(SettingsView, RevealsOnlyAFolderThatIsThere) {
    bw::test::TestFolder folder;
    const QString missing = folder.path() + "/later/Berthwatch";
    Settings creatable(0, nullptr, missing);
    QTest::mouseClick(creatable.button("Reveal"), Qt::LeftButton);
    EXPECT_TRUE(QDir(missing).exists());
    EXPECT_EQ(creatable.opened, std::vector<QUrl>{QUrl::fromLocalFile(missing)});
    EXPECT_EQ(creatable.view->problem(), "");

    // A plain file where a parent folder should be: nothing can be made there.
    const QString blocked = creatable.history.history + "/reports.json/Berthwatch";
    Settings impossible(0, nullptr, blocked);
    QTest::mouseClick(impossible.button("Reveal"), Qt::LeftButton);
    EXPECT_TRUE(impossible.opened.empty());
    EXPECT_TRUE(impossible.view->problem().contains("could not be created"));

    // Scrolled so that Reveal is the last control in view: the message shows whole, and nothing
    // above it moves on the page.
    creatable.opens = false;
    creatable.view->resize(712, 260);
    QAbstractButton* reveal = creatable.button("Reveal");
    const QScrollArea& scroll = *creatable.view->findChild<QScrollArea*>();
    bw::test::settle();
    const auto onPage = [&](const QWidget& widget) {
        return QRect(widget.mapTo(scroll.widget(), QPoint()), widget.size());
    };
    const QRect revealOnPage = onPage(*reveal);
    scroll.verticalScrollBar()->setValue(revealOnPage.bottom() + 10 - scroll.viewport()->height());
    QTest::mouseClick(reveal, Qt::LeftButton);
    bw::test::settle();
    EXPECT_TRUE(creatable.view->problem().contains("No file manager"));
    EXPECT_EQ(onPage(*reveal), revealOnPage);
    const auto* message = bw::test::named<QLabel>(*creatable.view, "Settings problem");
    EXPECT_TRUE(scroll.viewport()->rect().contains(
        QRect(message->mapTo(scroll.viewport(), QPoint()), message->size())));
}

TEST(SettingsView, UpdateChecksNeedAFeed) {
    UpdateController feedless; // what a build without a feed starts with
    Settings without(0, &feedless);
    EXPECT_FALSE(without.button("Check")->isEnabled());
    EXPECT_EQ(without.row("Software updates")->detail(),
              "Update checks are not set up in this build.");

    ManualClock clock;
    bw::test::TestFolder folder;
    QSettings store(QString::fromStdString((folder.fsPath() / "s.ini").string()),
                    QSettings::IniFormat);
    bw::test::SilentPresenter presenter;
    UpdateController updates(
        std::make_unique<updater::Updater>(QUrl("http://127.0.0.1:9/appcast.xml"), "1",
                                           updater::Updater::Environment{clock, store, presenter}));
    Settings with(0, &updates);
    ASSERT_TRUE(with.button("Check")->isEnabled());
    QTest::mouseClick(with.button("Check"), Qt::LeftButton);
    EXPECT_TRUE(updates.controller()->isChecking());

    QTest::mouseClick(with.button("Email"), Qt::LeftButton);
    ASSERT_EQ(with.opened.size(), 1u);
    EXPECT_EQ(with.opened[0].scheme(), "mailto");
}

// The About row names the application by its display name when the application information gives
// one as a string (an empty one too), and "Berthwatch" otherwise, whatever its bundle name.
TEST(SettingsView, TheAboutRowNamesTheApplicationByItsDisplayName) {
    const struct {
        const char* entries;
        QString name;
    } cases[] = {
        {"<key>CFBundleDisplayName</key><string>Berth Watch</string>"
         "<key>CFBundleName</key><string>Other</string>",
         "Berth Watch"},
        {"<key>CFBundleDisplayName</key><string></string>", ""},
        {"<key>CFBundleName</key><string>Other</string>", "Berthwatch"},
        {"<key>CFBundleDisplayName</key><integer>7</integer>", "Berthwatch"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entries);
        const ApplicationInfo info = ApplicationInfo::fromPropertyList(
            QByteArray("<plist><dict>") + c.entries + "</dict></plist>");
        const Settings settings(1, nullptr, {}, &info);
        const QList<SettingsRow*> rows = settings.view->findChildren<SettingsRow*>();
        const auto about = std::ranges::find_if(rows, [](const SettingsRow* row) {
            return row->detail() == "Version Unknown (Unknown)";
        });
        ASSERT_NE(about, rows.end());
        EXPECT_EQ((*about)->accessibleName(), c.name);
    }
}

// In the wide arrangement the text column keeps the row's spacing of 13 on both sides of the
// spacer of at least 16, before the trailing control or the row's padding of 14.
TEST(SettingsRow, TheWideTextColumnLeavesBothSpacingsAroundTheSpacer) {
    for (const bool withControl : {true, false}) {
        SCOPED_TRACE(withControl ? "with a control" : "without one");
        auto* pill = withControl ? new SettingsPillButton("Reveal", {}) : nullptr;
        SettingsRow row("folder", "History", "Where the saved reports are kept on this machine.",
                        pill);
        row.show();
        bool wide = false;
        for (int width = 360; width <= 720 && !wide; width += 2) {
            row.resize(width, row.heightForWidth(width));
            QApplication::processEvents();
            wide = row.isWide();
        }
        ASSERT_TRUE(wide);
        const int trailingEdge = pill ? pill->x() - 13 : row.width() - 14;
        for (const QLabel* text : row.findChildren<QLabel*>()) {
            EXPECT_LE(text->geometry().right() + 1 + 13 + 16, trailingEdge)
                << text->text().toStdString();
        }
    }
}
