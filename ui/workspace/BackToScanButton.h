#pragma once

#include <QToolButton>

namespace bw {
class AppModel;
}

namespace bw::workspace {

// The window toolbar's "Back" item of the scan section: present while the staged build screen
// shows (a build staged, no scan preparing or running, no report on show), and dropping the
// staged build, which brings the start screen back. The window places it at the leading side of
// its toolbar; it follows the model by itself.
class BackToScanButton : public QToolButton {
    Q_OBJECT

public:
    // A parent is needed: the button shows and hides itself.
    BackToScanButton(AppModel& model, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void followModel();

    AppModel& model_;
};

} // namespace bw::workspace
