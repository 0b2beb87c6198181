#include "ui/design/Accessibility.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QVariant>
#include <QWidget>

namespace bw::design {

namespace {

const char* const hiddenProperty = "bwHiddenFromAccessibility";
const char* const roleProperty = "bwAccessibleRole";

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

class WidgetInRole : public QAccessibleWidget {
public:
    WidgetInRole(QWidget* widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        if (button()) {
            names.prepend(pressAction());
        }
        return names;
    }

    void doAction(const QString& name) override {
        if (name == pressAction() && button()) {
            button()->click();
            return;
        }
        QAccessibleWidget::doAction(name);
    }

private:
    QAbstractButton* button() const { return qobject_cast<QAbstractButton*>(widget()); }
};

QAccessibleInterface* widgetFactory(const QString&, QObject* object) {
    if (!object || !object->isWidgetType()) {
        return nullptr;
    }
    auto* widget = static_cast<QWidget*>(object);
    if (widget->property(hiddenProperty).toBool()) {
        return new HiddenWidget(widget);
    }
    if (const QVariant role = widget->property(roleProperty); role.isValid()) {
        return new WidgetInRole(widget, QAccessible::Role(role.toInt()));
    }
    return nullptr;
}

void installFactory() {
    static const bool installed = [] {
        QAccessible::installFactory(widgetFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace

void hideFromAccessibility(QWidget& widget) {
    installFactory();
    widget.setProperty(hiddenProperty, true);
}

void presentAs(QWidget& widget, QAccessible::Role role) {
    installFactory();
    widget.setProperty(roleProperty, int(role));
}

} // namespace bw::design
