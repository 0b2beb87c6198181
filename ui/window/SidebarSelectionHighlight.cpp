#include "ui/window/SidebarSelectionHighlight.h"

#include "ui/design/BrandShapes.h"
#include "ui/design/Palette.h"
#include "ui/window/SidebarRowButton.h"

#include <QEvent>
#include <QPainter>
#include <algorithm>

namespace bw::window {

namespace {

// Every motion of this kind is skipped under reduce motion.
const design::MotionKind sidebarSelectionHighlightMotion = design::MotionKind::skipping();

QRectF interpolate(const QRectF& from, const QRectF& to, double progress) {
    const auto mix = [progress](double a, double b) { return a + (b - a) * progress; };
    return {mix(from.x(), to.x()), mix(from.y(), to.y()), mix(from.width(), to.width()),
            mix(from.height(), to.height())};
}

design::Motion selectionMotion() {
    return sidebarSelectionHighlightMotion.spring(0.22);
}

} // namespace

SidebarSelectionHighlight::SidebarSelectionHighlight(QWidget* rowsParent) : QWidget(rowsParent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    rowsParent->installEventFilter(this);
    setGeometry(rowsParent->rect());
    lower();
    for (design::AnimatedValue* value : {&slide_, &opacity_}) {
        connect(value, &design::AnimatedValue::valueChanged, this, qOverload<>(&QWidget::update));
    }
}

void SidebarSelectionHighlight::follow(const std::vector<QWidget*>& selected) {
    // Off screen (the first layout, a hidden sidebar) the fill simply takes its place.
    const design::Motion motion = isVisible() ? selectionMotion() : design::Motion::none();
    // The moving fill stays on its row while that row stays selected.
    const bool keeps =
        target_ && std::find(selected.begin(), selected.end(), target_.data()) != selected.end();
    QWidget* next = keeps ? target_.data() : selected.empty() ? nullptr : selected.front();
    others_.clear();
    for (QWidget* row : selected) {
        if (row != next) {
            others_.emplace_back(row);
            watch(row);
        }
    }
    if (next != target_) {
        const bool wasShown = opacity_.target() > 0;
        if (next && wasShown) {
            // Slides from wherever it is now, also from a row that has just gone away.
            from_ = movingRect();
            slide_.setValue(0);
            slide_.animateTo(1, motion);
        } else if (next) {
            slide_.setValue(1);
        } else {
            last_ = movingRect();
        }
        target_ = next;
        if (next) {
            watch(next);
        }
        opacity_.animateTo(next ? 1 : 0, motion);
    }
    update();
}

QRectF SidebarSelectionHighlight::movingRect() const {
    if (target_) {
        last_ = interpolate(from_, QRectF(target_->geometry()), slide_.value());
    }
    return opacity_.value() > 0 || target_ ? last_ : QRectF();
}

void SidebarSelectionHighlight::watch(QWidget* row) {
    // A row that moves or resizes (a new app above it, a wider sidebar) takes its fill along.
    row->removeEventFilter(this);
    row->installEventFilter(this);
}

bool SidebarSelectionHighlight::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == parent() && type == QEvent::Resize) {
        setGeometry(parentWidget()->rect());
    } else if (type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show ||
               type == QEvent::Hide) {
        update();
    }
    return false;
}

void SidebarSelectionHighlight::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const auto fill = [&painter](const QRectF& rect, double opacity) {
        painter.fillPath(design::continuousRoundedRect(rect, SidebarRowButton::cornerRadius),
                         design::palette::withOpacity(design::palette::rowFillStrong(), opacity));
    };
    for (const QPointer<QWidget>& row : others_) {
        if (row && row->isVisible()) {
            fill(QRectF(row->geometry()), 1);
        }
    }
    if (const QRectF moving = movingRect(); !moving.isEmpty() && opacity_.value() > 0) {
        fill(moving, opacity_.value());
    }
}

} // namespace bw::window
