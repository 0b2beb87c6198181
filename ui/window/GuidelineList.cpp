#include "ui/window/GuidelineList.h"

#include "ui/design/FollowPointer.h"
#include "ui/design/Motion.h"
#include "ui/design/Palette.h"
#include "ui/window/GuidelineRow.h"

#include <QGraphicsOpacityEffect>
#include <QPainter>
#include <QResizeEvent>

namespace bw::window {

namespace palette = design::palette;

namespace {

constexpr int dividerInset = 16;
constexpr int dividerSpace = 5;

qreal mix(qreal from, qreal to, qreal t) {
    return from + (to - from) * t;
}

} // namespace

GuidelineList::GuidelineList(QWidget* parent)
    : QWidget(parent), progress_(new design::AnimatedValue(1, this)) {
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    connect(progress_, &design::AnimatedValue::valueChanged, this, [this] {
        updateGeometry();
        place();
    });
}

void GuidelineList::addRow(GuidelineRow* row) {
    row->setParent(this);
    items_.push_back({row, true, {}, {}});
    showRows(std::vector<bool>(items_.size(), true), design::Motion::none());
}

qreal GuidelineList::stack(int width, std::vector<Place>& places) const {
    places.assign(items_.size(), {});
    qreal top = 0;
    std::size_t last = items_.size();
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (!items_[i].shown) {
            continue;
        }
        if (last < items_.size()) {
            places[last].divider = 1;
            top += 2 * dividerSpace + 1;
        }
        places[i].top = top;
        top += items_[i].row->heightForWidth(width);
        last = i;
    }
    return top;
}

void GuidelineList::showRows(const std::vector<bool>& shown, const design::Motion& motion) {
    for (Item& item : items_) {
        item.from = current(item);
    }
    fromHeight_ = heightForWidth(width());
    for (std::size_t i = 0; i < items_.size(); ++i) {
        items_[i].shown = shown[i];
        items_[i].row->setEnabled(shown[i]);
    }
    retarget();
    // A row that was out of sight comes in where it lands.
    for (Item& item : items_) {
        if (item.from.opacity == 0) {
            item.from.top = item.to.top;
        }
    }
    progress_->setValue(0);
    progress_->animateTo(1, motion);
    updateGeometry();
    place();
}

void GuidelineList::retarget() {
    std::vector<Place> places;
    toHeight_ = stack(width(), places);
    for (std::size_t i = 0; i < items_.size(); ++i) {
        Item& item = items_[i];
        item.to = places[i];
        if (!item.shown) {
            // A leaving row fades out where it is.
            item.to = {item.from.top, 0, 0};
        }
    }
}

GuidelineList::Place GuidelineList::current(const Item& item) const {
    const qreal t = progress_->value();
    return {mix(item.from.top, item.to.top, t), mix(item.from.opacity, item.to.opacity, t),
            mix(item.from.divider, item.to.divider, t)};
}

std::vector<GuidelineRow*> GuidelineList::shownRows() const {
    std::vector<GuidelineRow*> rows;
    for (const Item& item : items_) {
        if (item.shown) {
            rows.push_back(item.row);
        }
    }
    return rows;
}

bool GuidelineList::isAnimating() const {
    return progress_->isRunning();
}

int GuidelineList::heightForWidth(int width) const {
    std::vector<Place> places;
    const qreal target = width == this->width() ? toHeight_ : stack(width, places);
    return int(std::ceil(mix(fromHeight_, target, progress_->value())));
}

QSize GuidelineList::sizeHint() const {
    return {720, heightForWidth(width() > 0 ? width() : 720)};
}

QSize GuidelineList::minimumSizeHint() const {
    return {200, 0};
}

void GuidelineList::resizeEvent(QResizeEvent* event) {
    // The height follows a change in progress; a new width changes the rows' heights, so the
    // change ends at once, at the new places.
    if (event->size().width() != event->oldSize().width()) {
        progress_->setValue(1);
        retarget();
        fromHeight_ = toHeight_;
        for (Item& item : items_) {
            item.from = item.to;
        }
    }
    place();
}

void GuidelineList::place() {
    for (const Item& item : items_) {
        const Place now = current(item);
        GuidelineRow* row = item.row;
        row->setVisible(now.opacity > 0);
        row->setGeometry(0, qRound(now.top), width(), row->heightForWidth(width()));
        if (now.opacity >= 1) {
            row->setGraphicsEffect(nullptr);
        } else if (now.opacity > 0) {
            auto* effect = qobject_cast<QGraphicsOpacityEffect*>(row->graphicsEffect());
            if (!effect) {
                effect = new QGraphicsOpacityEffect(row);
                row->setGraphicsEffect(effect);
            }
            effect->setOpacity(now.opacity);
        }
    }
    // Rows moved under the pointer: the one now under it lights up.
    design::followPointer(*this);
    update();
}

void GuidelineList::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor hairline = palette::separator();
    for (const Item& item : items_) {
        const Place now = current(item);
        if (now.divider <= 0) {
            continue;
        }
        const qreal y = now.top + item.row->heightForWidth(width()) + dividerSpace;
        painter.setOpacity(now.divider);
        painter.fillRect(QRectF(dividerInset, y, width() - 2 * dividerInset, 1), hairline);
    }
}

} // namespace bw::window
