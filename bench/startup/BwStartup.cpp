// bw-startup: starts a window and exits as soon as its first frame is painted, for the startup
// benchmark.
//   bw-startup window HISTORY_FOLDER   the program's window over the history in the folder
//   bw-startup minimal                 a plain Qt Widgets window with one label
//   bw-startup memory HISTORY_FOLDER   the program's window, settled a while after its first
//                                      frame: prints its peak and current resident memory in KiB

#include "app/Launch.h"
#include "app/Program.h"
#include "platform/instance/SingleInstance.h"
#include "ui/design/Design.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

// The "VmHWM:" (peak) or "VmRSS:" (current) resident memory of this process, in KiB.
QByteArray residentKiB(const QByteArray& field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return "?";
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field)) {
            return line.mid(field.size()).simplified().split(' ').front();
        }
    }
    return "?";
}

// Exits once the first paint of `window` has been drawn and handed to the display; or, to
// measure memory, once the window has settled for `settle` ms after it.
class FirstFrame : public QObject {
public:
    explicit FirstFrame(QWidget* window, int settle = -1) : QObject(window), settle_(settle) {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            // After this paint and the flush that follows it in the same turn.
            QTimer::singleShot(std::max(settle_, 0), [this] {
                if (settle_ < 0) {
                    std::puts("painted");
                } else {
                    std::printf("peak %s current %s\n", residentKiB("VmHWM:").constData(),
                                residentKiB("VmRSS:").constData());
                }
                std::fflush(stdout);
                std::_Exit(0);
            });
        }
        return false;
    }

private:
    int settle_;
    bool seen_ = false;
};

int showMinimal() {
    QLabel window(QStringLiteral("Berthwatch"));
    window.resize(1120, 760);
    new FirstFrame(&window);
    window.show();
    return QApplication::exec();
}

// As the program does: the one instance, the history and the font configuration read first, the
// application object, the design, the launch, then the program's window.
int showWindow(int argc, char** argv, int settle) {
    const QString historyFolder = QString::fromLocal8Bit(argv[2]);
    bw::SingleInstance instance;
    if (!instance.lock()) {
        return 1;
    }
    bw::HistoryRead history = bw::startHistoryRead(bw::ReportStore(historyFolder));
    bw::design::startReadingFontConfiguration();
    QApplication application(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Berthwatch"));
    QCoreApplication::setApplicationName(QStringLiteral("Berthwatch"));
    if (!instance.claim()) {
        return 1;
    }
    bw::StartedLaunch launch = bw::startApplication({}, std::move(history));
    bw::design::installDesign(application);
    bw::Program program(instance, std::move(launch));
    if (settle >= 0) {
        // The history screen too holds the reports it lists.
        program.model().showSection(bw::AppSection::recents);
    }
    new FirstFrame(&program.window(), settle);
    program.window().show();
    return QApplication::exec();
}

} // namespace

int main(int argc, char** argv) {
    const std::string_view mode = argc > 1 ? argv[1] : "";
    if (argc == 3 && mode == "window") {
        return showWindow(argc, argv, -1);
    }
    // Long enough for the rows after the first screenful and the history screen's first fill.
    if (argc == 3 && mode == "memory") {
        return showWindow(argc, argv, 1500);
    }
    if (argc == 2 && mode == "minimal") {
        QApplication application(argc, argv);
        return showMinimal();
    }
    std::fputs("usage: bw-startup window|memory HISTORY_FOLDER | bw-startup minimal\n", stderr);
    return 2;
}
