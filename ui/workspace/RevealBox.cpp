#include "ui/workspace/RevealBox.h"

#include <QGraphicsOpacityEffect>
#include <QResizeEvent>

namespace bw::workspace {

RevealBox::RevealBox(QWidget* content, Entrance entrance, QWidget* parent)
    : QWidget(parent), content_(content), entrance_(entrance) {
    content->setParent(this);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    connect(&presence_, &design::AnimatedValue::valueChanged, this, &RevealBox::follow);
    hide();
}

void RevealBox::setPresented(bool presented, const design::Motion& motion) {
    if (presented == isPresented()) {
        return;
    }
    if (presented) {
        show();
    }
    const double target = presented ? 1 : 0;
    // Nothing moves when the block is already where it goes, or the motion is instant.
    if (motion.isInstant() || presence_.value() == target) {
        presence_.setValue(target);
        follow(target);
        return;
    }
    presence_.animateTo(target, motion);
}

int RevealBox::contentHeight(int width) const {
    return content_->hasHeightForWidth() ? content_->heightForWidth(width)
                                         : content_->sizeHint().height();
}

QSize RevealBox::sizeHint() const {
    return {content_->sizeHint().width(), heightForWidth(width())};
}

// The block may be narrower than it would like: its text wraps rather than widen the column.
QSize RevealBox::minimumSizeHint() const {
    return {content_->minimumSizeHint().width(), heightForWidth(width())};
}

int RevealBox::heightForWidth(int width) const {
    return int(std::lround(contentHeight(width) * std::clamp(presence_.value(), 0.0, 1.0)));
}

// Opacity follows the presence; the effect is there only while the block is partly shown.
void RevealBox::follow(double presence) {
    const bool settled = presence <= 0 || presence >= 1;
    if (settled != (fade_ == nullptr)) {
        fade_ = settled ? nullptr : new QGraphicsOpacityEffect(content_);
        content_->setGraphicsEffect(fade_);
    }
    if (fade_) {
        fade_->setOpacity(std::clamp(presence, 0.0, 1.0));
    }
    if (presence <= 0 && !isPresented()) {
        hide();
    }
    updateGeometry();
    place();
}

void RevealBox::resizeEvent(QResizeEvent* event) {
    // The hints' height was worked out at the old width (the first is a default hundred points,
    // where a message wraps into many lines): ask again at the new one, or the column holding
    // the box stays as tall as that.
    if (event->size().width() != event->oldSize().width()) {
        updateGeometry();
    }
    place();
}

void RevealBox::place() {
    const int full = contentHeight(width());
    const int top = entrance_ == Entrance::moveFromTop ? height() - full : (height() - full) / 2;
    content_->setGeometry(0, top, width(), full);
}

} // namespace bw::workspace
