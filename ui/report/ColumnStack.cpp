#include "ui/report/ColumnStack.h"

#include "ui/design/Entrance.h"

#include <QCoreApplication>
#include <QEvent>
#include <algorithm>

namespace bw::report {
namespace {

// As a layout would size it: its own height at the width, within its least and most.
int heightAt(const QWidget& part, int width) {
    const int height =
        part.hasHeightForWidth() ? part.heightForWidth(width) : part.sizeHint().height();
    return std::clamp(height, part.minimumHeight(), part.maximumHeight());
}

} // namespace

ColumnStack::ColumnStack(QWidget* parent) : QWidget(parent) {
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void ColumnStack::insert(int index, QWidget* part) {
    part->setParent(this);
    const auto at =
        index >= 0 && std::size_t(index) < parts_.size() ? parts_.begin() + index : parts_.end();
    parts_.insert(at, part);
    part->show();
    place();
    updateGeometry();
}

int ColumnStack::indexOf(const QWidget* part) const {
    const auto found = std::ranges::find(parts_, part);
    return found == parts_.end() ? -1 : int(found - parts_.begin());
}

int ColumnStack::heightForWidth(int width) const {
    int height = 0;
    for (const QWidget* part : parts_) {
        if (part && !part->isHidden()) {
            height += heightAt(*part, width);
        }
    }
    // Until a picture of what left has faded, the stack keeps the room it is drawn in.
    return std::max(height, design::leavingRoom(*this).bottom() + 1);
}

QSize ColumnStack::sizeHint() const {
    const int width = widestShown(&QWidget::sizeHint);
    return {width, heightForWidth(width)};
}

QSize ColumnStack::minimumSizeHint() const {
    return {widestShown(&QWidget::minimumSizeHint), 0};
}

int ColumnStack::widestShown(QSize (QWidget::*hint)() const) const {
    int width = 0;
    for (const QWidget* part : parts_) {
        if (part && !part->isHidden()) {
            width = std::max(width, (part->*hint)().width());
        }
    }
    return width;
}

bool ColumnStack::event(QEvent* event) {
    // A part changed its size, showed or hid, or went: everything below it moves now, and
    // whoever holds the stack asks its height again.
    if (event->type() == QEvent::LayoutRequest || event->type() == QEvent::ChildRemoved) {
        relayout();
    }
    return event->type() == QEvent::LayoutRequest || QWidget::event(event);
}

void ColumnStack::relayout() {
    std::erase(parts_, nullptr);
    place();
    updateGeometry();
    if (QWidget* holder = parentWidget()) {
        QEvent request(QEvent::LayoutRequest);
        QCoreApplication::sendEvent(holder, &request);
    }
}

void ColumnStack::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    place();
}

void ColumnStack::place() {
    int top = 0;
    for (QWidget* part : parts_) {
        if (part && !part->isHidden()) {
            const int height = heightAt(*part, width());
            part->setGeometry(0, top, width(), height);
            top += height;
        }
    }
}

} // namespace bw::report
