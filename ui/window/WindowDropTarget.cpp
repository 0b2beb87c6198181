#include "ui/window/WindowDropTarget.h"

#include "app/AppModel.h"
#include "ui/design/BrandShapes.h"
#include "ui/design/DropAnswer.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QWidget>

namespace bw::window {

namespace {

// The first dropped item that is a local file, as a clean path ("Demo.app/" becomes "Demo.app").
std::optional<QString> firstFile(const QMimeData* data) {
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) {
            return QDir::cleanPath(url.toLocalFile());
        }
    }
    return std::nullopt;
}

} // namespace

WindowDropTarget::WindowDropTarget(QWidget* window, AppModel& model)
    : QObject(window), model_(model) {
    window->setAcceptDrops(true);
    window->installEventFilter(this);
}

bool WindowDropTarget::isBuildExtension(const QString& path) {
    const QString extension = QFileInfo(path).suffix().toLower();
    return extension == u"ipa" || extension == u"xcarchive" || extension == u"app";
}

bool WindowDropTarget::eventFilter(QObject*, QEvent* event) {
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        // A drag without a file never targets the window. One with a file keeps the window as
        // its target, and each move asks again whether the drop would be taken (a scan may end
        // on the way): the desktop shows the drag refused for as long as it would not be.
        const bool carriesFile = firstFile(drag->mimeData()).has_value();
        const bool taken =
            event->type() == QEvent::DragEnter ? carriesFile : takes(drag->mimeData());
        if (taken) {
            design::takeAsCopy(*drag);
        } else {
            design::refuseDrop(*drag);
        }
        model_.setBuildDropTargeted(carriesFile);
        return true;
    }
    case QEvent::DragLeave:
        model_.setBuildDropTargeted(false);
        return true;
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        // The drag is over either way.
        model_.setBuildDropTargeted(false);
        if (takes(drop->mimeData())) {
            design::takeAsCopy(*drop);
            importDroppedFile(*firstFile(drop->mimeData()));
        } else {
            design::refuseDrop(*drop);
        }
        return true;
    }
    default:
        return false;
    }
}

bool WindowDropTarget::takes(const QMimeData* data) const {
    if (model_.scanPhase().isBusy()) {
        return false;
    }
    const std::optional<QString> path = firstFile(data);
    // A second build while the first is still in its launch would be lost without a word.
    return path && !(isBuildExtension(*path) && model_.isBuildImportLaunching());
}

void WindowDropTarget::importDroppedFile(const QString& path) {
    if (!isBuildExtension(path)) {
        model_.importBuild(path);
        return;
    }
    model_.setBuildImportLaunching(true);
    model_.clock().schedule(seconds(design::BerthwatchRunwayMark::launchWaitSeconds()), this,
                            [this, path] {
                                model_.importBuild(path);
                                model_.setBuildImportLaunching(false);
                            });
}

} // namespace bw::window
