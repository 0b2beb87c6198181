#include "tests/ui/workspace/WorkspaceFixture.h"

#include <QCoreApplication>
#include <QThread>

namespace bw::workspace::test {

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
