#include "ui/design/Accessibility.h"

#include <QAccessibleWidget>
#include <QVariant>
#include <QWidget>

namespace bw::design {

namespace {

const char* const hiddenProperty = "bwHiddenFromAccessibility";

class HiddenWidget : public QAccessibleWidget {
public:
    explicit HiddenWidget(QWidget* widget) : QAccessibleWidget(widget, QAccessible::NoRole) {}

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.invisible = true;
        state.focusable = false;
        return state;
    }

    QString text(QAccessible::Text) const override { return {}; }
};

QAccessibleInterface* hiddenWidgetFactory(const QString&, QObject* object) {
    if (object && object->isWidgetType() && object->property(hiddenProperty).toBool()) {
        return new HiddenWidget(static_cast<QWidget*>(object));
    }
    return nullptr;
}

} // namespace

void hideFromAccessibility(QWidget& widget) {
    static const bool installed = [] {
        QAccessible::installFactory(hiddenWidgetFactory);
        return true;
    }();
    Q_UNUSED(installed);
    widget.setProperty(hiddenProperty, true);
}

} // namespace bw::design
