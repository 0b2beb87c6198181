#include "tests/ui/Widgets.h"

#include "ui/design/ConfirmationDialog.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QCursor>
#include <QDropEvent>
#include <QUrl>
#include <cstdlib>

namespace bw::test {

QAbstractButton* button(const QWidget& root, const QString& accessibleName) {
    return named<QAbstractButton>(root, accessibleName, true);
}

namespace {

void addPresentedLeafNames(QAccessibleInterface& node, QStringList& names) {
    if (node.state().invisible) {
        return;
    }
    if (node.childCount() == 0) {
        names.append(node.text(QAccessible::Name));
    }
    for (int i = 0; i < node.childCount(); ++i) {
        if (QAccessibleInterface* child = node.child(i)) {
            addPresentedLeafNames(*child, names);
        }
    }
}

} // namespace

QStringList presentedLeafNames(const QWidget& root) {
    QStringList names;
    if (QAccessibleInterface* node =
            QAccessible::queryAccessibleInterface(const_cast<QWidget*>(&root))) {
        addPresentedLeafNames(*node, names);
    }
    return names;
}

design::ConfirmationDialog* openConfirmation() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<design::ConfirmationDialog*>(window);
            dialog && dialog->isVisible()) {
            return dialog;
        }
    }
    return nullptr;
}

bool answerConfirmation(const QString& title) {
    design::ConfirmationDialog* dialog = openConfirmation();
    if (!dialog) {
        return false;
    }
    for (QAbstractButton* button : {dialog->cancelButton(), dialog->actionButton()}) {
        if (button->text() == title) {
            button->click();
            settle();
            return true;
        }
    }
    return false;
}

void settle(int turns) {
    for (int turn = 0; turn < turns; ++turn) {
        QApplication::processEvents();
    }
}

double imageDistance(const QImage& image, const QImage& reference,
                     const std::vector<QRect>& areas) {
    double sum = 0;
    for (const QRect& area : areas) {
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                const QRgb a = image.pixel(x, y);
                const QRgb b = reference.pixel(x, y);
                sum += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                       std::abs(qBlue(a) - qBlue(b));
            }
        }
    }
    return sum;
}

void movePointer(QPoint global) {
    QCursor::setPos(global);
    settle();
}

void movePointerOffAllWindows() {
    // Far off, where no window shown later comes to lie under it either.
    movePointer({-10000, -10000});
}

void SteppedFrames::playFor(int ms, const std::function<void()>& sample, int turns) {
    for (int frame = 0; frame < ms / 16; ++frame) {
        elapsed_ += 16;
        advance();
        for (int turn = 0; turn < turns; ++turn) {
            QApplication::processEvents();
            sample();
        }
    }
}

void SteppedFrames::start() {
    elapsed_ = 0;
    QAnimationDriver::start();
}

DropOutcome dragAndDrop(QWidget& window, QPoint point, const QMimeData& data) {
    QWidget* target = window.childAt(point);
    if (!target) {
        target = &window;
    }
    while (target && !target->acceptDrops()) {
        target = target->parentWidget();
    }
    if (!target) {
        return {false, false};
    }
    const QPointF local = target->mapFrom(&window, point);
    QDragEnterEvent enter(local.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(local, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(target, &drop);
    return {enter.isAccepted(), drop.isAccepted() && drop.dropAction() != Qt::IgnoreAction};
}

bool dropFile(QWidget& target, QPoint point, const QString& path) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    const DropOutcome outcome = dragAndDrop(target, point, data);
    return outcome.entered && outcome.dropped;
}

QImage drawnAlone(QWidget& widget) {
    QImage image(widget.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

} // namespace bw::test
