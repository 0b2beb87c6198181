#include "tests/ui/window/WindowHarness.h"

#include "model/ReportStore.h"
#include "ui/window/WindowScreens.h"

#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace bw::window::test {

namespace {

WindowSetup plainScreens(const QStringList& arguments) {
    WindowSetup setup;
    setup.arguments = arguments;
    setup.environment = QProcessEnvironment();
    setup.screen = [](AppSection section, RootView&, QWidget* parent) {
        auto* screen = new QWidget(parent);
        auto* field = new QLineEdit(screen);
        field->setAccessibleName(QStringLiteral("Field of ") + rawValue(section));
        (new QVBoxLayout(screen))->addWidget(field);
        return screen;
    };
    return setup;
}

} // namespace

WindowHarness::WindowHarness(const QStringList& arguments, bool realScreens, bool realSaveDialog)
    : realScreens(realScreens), realSaveDialog(realSaveDialog) {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       harness.folder.makeFolder(QStringLiteral("settings")));
    QSettings().clear();
    relaunch({}, arguments);
}

void WindowHarness::relaunch(const std::vector<ScanReport>& reports, const QStringList& arguments) {
    quit();
    ReportStore(harness.history).save(reports);
    launch(arguments);
}

void WindowHarness::quit() {
    window.reset();
    harness.quit();
}

void WindowHarness::launch(const QStringList& arguments) {
    window.reset();
    // As the program does: the window is built while the history is read, and shows once it
    // is in.
    StartedLaunch started = harness.start(arguments);
    AppModel& launched = *started.model;
    WindowSetup setup = plainScreens(arguments);
    if (realScreens) {
        report::ReportShareButton::FileChooser saveChooser;
        if (!realSaveDialog) {
            saveChooser = [this](QWidget*, const QString& name) {
                return std::optional(harness.folder.path() + u'/' + name);
            };
        }
        WindowSetup real = windowSetup(launched, nullptr, saveChooser);
        setup.screen = real.screen;
        setup.shareItem = real.shareItem;
        setup.backItem = real.backItem;
    }
    window = std::make_unique<MainWindow>(launched, nullptr, setup);
    harness.finish(std::move(started));
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    bw::test::settle();
}

} // namespace bw::window::test
