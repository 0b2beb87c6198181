#pragma once

#include <QObject>

class QDropEvent;
class QMimeData;
class QWidget;

namespace bw {
class AppModel;
}

namespace bw::window {

// Takes a build dropped anywhere on the window, sidebar included. An .ipa, .xcarchive or .app
// plays a short launch before the model imports it, so the home screen can animate; any other
// file goes to the model at once, which refuses it visibly. Drops the window cannot use are
// refused from the moment the drag is over the window, so the desktop shows them as refused and
// their source learns that nothing was done: while a scan is preparing or running, without a
// local file, and a build while another is in its launch. A drop taken is a copy.
class WindowDropTarget : public QObject {
    Q_OBJECT

public:
    // Watches `window`'s drag events; children that take drops of their own keep them.
    WindowDropTarget(QWidget* window, AppModel& model);

    static bool isBuildExtension(const QString& path);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Whether a drop of `data` would be used now.
    bool takes(const QMimeData* data) const;
    void importDroppedFile(const QString& path);

    AppModel& model_;
};

} // namespace bw::window
