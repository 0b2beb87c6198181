// bw-startup: starts a window and exits as soon as its first frame is painted, for the startup
// benchmark.
//   bw-startup window HISTORY_FOLDER   the program's window over the history in the folder
//   bw-startup minimal                 a plain Qt Widgets window with one label

#include "app/Launch.h"
#include "platform/instance/SingleInstance.h"
#include "ui/design/Design.h"
#include "ui/window/MainWindow.h"
#include "ui/window/WindowScreens.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

namespace {

// Exits once the first paint of `window` has been drawn and handed to the display.
class FirstFrame : public QObject {
public:
    explicit FirstFrame(QWidget* window) : QObject(window) { window->installEventFilter(this); }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            // After this paint and the flush that follows it in the same turn.
            QTimer::singleShot(0, [] {
                std::puts("painted");
                std::fflush(stdout);
                std::_Exit(0);
            });
        }
        return false;
    }
};

int showMinimal() {
    QLabel window(QStringLiteral("Berthwatch"));
    window.resize(1120, 760);
    new FirstFrame(&window);
    window.show();
    return QApplication::exec();
}

int showWindow(const QString& historyFolder) {
    // As the program does: one instance, the design, the launch, then the window.
    bw::SingleInstance instance;
    if (!instance.claim()) {
        return 1;
    }
    bw::design::installDesign(*qApp);
    bw::LaunchSettings settings;
    settings.historyFolder = historyFolder;
    std::unique_ptr<bw::AppModel> model = bw::launchApplication(settings);
    bw::window::MainWindow window(*model, nullptr, bw::window::windowSetup(*model, nullptr));
    new FirstFrame(&window);
    window.show();
    return QApplication::exec();
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Berthwatch"));
    QCoreApplication::setApplicationName(QStringLiteral("Berthwatch"));
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 3 && arguments[1] == u"window") {
        return showWindow(arguments[2]);
    }
    if (arguments.size() == 2 && arguments[1] == u"minimal") {
        return showMinimal();
    }
    std::fputs("usage: bw-startup window HISTORY_FOLDER | bw-startup minimal\n", stderr);
    return 2;
}
