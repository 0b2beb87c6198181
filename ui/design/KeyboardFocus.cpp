#include "ui/design/KeyboardFocus.h"

#include <QApplication>
#include <QFocusEvent>
#include <QWidget>

namespace bw::design {

namespace {

constexpr char keyboardFocusProperty[] = "bw.keyboardFocus";

class FocusTracker : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const bool isFocusIn = event->type() == QEvent::FocusIn;
        if ((isFocusIn || event->type() == QEvent::FocusOut) && watched->isWidgetType()) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            // The window going back and forth takes the focus away and gives it back as it was.
            if (reason != Qt::ActiveWindowFocusReason) {
                watched->setProperty(keyboardFocusProperty,
                                     isFocusIn && (reason == Qt::TabFocusReason ||
                                                   reason == Qt::BacktabFocusReason ||
                                                   reason == Qt::ShortcutFocusReason));
            }
        }
        return false;
    }
};

} // namespace

bool showsFocusRing(const QWidget& widget) {
    return widget.hasFocus() && widget.property(keyboardFocusProperty).toBool();
}

void forgetKeyboardFocus(QWidget& widget) {
    widget.setProperty(keyboardFocusProperty, false);
    widget.update();
}

void trackKeyboardFocus(QApplication& application) {
    const QString name = QStringLiteral("bw.focusTracker");
    if (!application.findChild<QObject*>(name, Qt::FindDirectChildrenOnly)) {
        auto* tracker = new FocusTracker(&application);
        tracker->setObjectName(name);
        application.installEventFilter(tracker);
    }
}

} // namespace bw::design
