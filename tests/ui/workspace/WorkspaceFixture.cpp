#include "tests/ui/workspace/WorkspaceFixture.h"

#include <QCoreApplication>
#include <QThread>

namespace bw::workspace::test {

Workspace::Workspace(const QUrl& backendURL, const QStringList& arguments) {
    LaunchSettings settings;
    settings.arguments = arguments;
    settings.environment = QProcessEnvironment();
    settings.historyFolder = path("history");
    settings.backendURL = backendURL;
    settings.toolDirectory = QString::fromUtf8(BW_LIBEXEC_DIR);
    settings.clock = &clock;
    model = launchApplication(settings);
}

QString Workspace::path(const char* name) const {
    return QString::fromStdString((folder.fsPath() / name).string());
}

QString Workspace::fixtureBuild(const char* name) {
    return QString::fromUtf8(BW_BUILD_FIXTURES_DIR) + u'/' + QString::fromUtf8(name);
}

WorkspaceLinks Workspace::links() {
    WorkspaceLinks links;
    links.reportView = [](AppModel&, const ScanReport&, QWidget* parent) {
        auto* view = new QLabel(parent);
        view->setAccessibleName(u"report"_qs);
        return view;
    };
    return links;
}

bool Workspace::runUntil(const std::function<bool()>& done, double limitSeconds, double step) {
    for (double elapsed = 0; elapsed <= limitSeconds; elapsed += step) {
        QCoreApplication::processEvents();
        if (done()) {
            return true;
        }
        // Worker threads (previews, scans) run in real time; give them a moment.
        QThread::usleep(200);
        clock.advance(seconds(step));
    }
    QCoreApplication::processEvents();
    return done();
}

} // namespace bw::workspace::test
