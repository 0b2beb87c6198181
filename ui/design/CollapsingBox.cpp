#include "ui/design/CollapsingBox.h"

#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QResizeEvent>
#include <cmath>

namespace bw::design {

CollapsingBox::CollapsingBox(QWidget* content, CollapsingLayout layout, QWidget* parent)
    : QWidget(parent), content_(content), layout_(layout) {
    content_->setParent(this);
    // Closed, the box takes no place at all, not even its layout's spacing.
    hide();
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    connect(&openness_, &AnimatedValue::valueChanged, this, &CollapsingBox::follow);
}

void CollapsingBox::setOpen(bool open, const Motion& motion) {
    if (open == open_) {
        return;
    }
    open_ = open;
    if (open_) {
        show();
    } else if (content_->isAncestorOf(focusWidget())) {
        // Focus must not stay on a control that is going away.
        content_->clearFocus();
    }
    // Closing, its controls no longer take clicks or the keyboard.
    content_->setEnabled(open_);
    openness_.animateTo(open_ ? 1 : 0, motion);
    follow(openness_.value());
}

int CollapsingBox::contentHeight(int width) const {
    const int capped = std::min(width, content_->maximumWidth());
    return content_->hasHeightForWidth() ? content_->heightForWidth(capped)
                                         : content_->sizeHint().height();
}

int CollapsingBox::heightForWidth(int width) const {
    const double openness = std::clamp(openness_.value(), 0.0, 1.0);
    return openness <= 0 ? 0 : int(std::ceil(contentHeight(width) * openness));
}

QSize CollapsingBox::sizeHint() const {
    const QSize content = content_->sizeHint();
    return {content.width(), heightForWidth(layout_.hintsAtOwnWidth ? width() : content.width())};
}

QSize CollapsingBox::minimumSizeHint() const {
    return {0, 0};
}

void CollapsingBox::follow(double openness) {
    const bool moving = openness < 1 && isShown();
    if (moving && !fade_) {
        fade_ = new QGraphicsOpacityEffect(content_);
        content_->setGraphicsEffect(fade_);
    } else if (!moving && fade_) {
        content_->setGraphicsEffect(nullptr);
    }
    if (fade_) {
        fade_->setOpacity(std::clamp(openness, 0.0, 1.0));
    }
    place();
    updateGeometry();
    if (!open_ && openness <= 0 && !isHidden()) {
        hide();
        emit closed();
    }
}

void CollapsingBox::place() {
    const double openness = std::clamp(openness_.value(), 0.0, 1.0);
    const int width = std::min(this->width(), content_->maximumWidth());
    const int full = contentHeight(this->width());
    const qreal top = layout_.shift * (1 - openness) + layout_.withRoom * (height() - full);
    content_->setGeometry(0, int(std::lround(top)), width, full);
}

bool CollapsingBox::event(QEvent* event) {
    // The content's own height changed.
    if (event->type() == QEvent::LayoutRequest) {
        place();
        updateGeometry();
        return true;
    }
    return QWidget::event(event);
}

void CollapsingBox::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The height was worked out at the old width (at first a default hundred points, where text
    // wraps into many lines): ask again at the new one, or the column holding the box keeps it.
    if (event->size().width() != event->oldSize().width()) {
        updateGeometry();
    }
    place();
}

} // namespace bw::design
