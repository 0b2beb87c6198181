#include "ui/workspace/SlotRow.h"

#include "model/RawValue.h"
#include "ui/design/Palette.h"
#include "ui/workspace/IPhoneReviewSlot.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>

namespace bw::workspace {

namespace {

constexpr int slotSpacing = 18;
constexpr int horizontalPadding = 2;
constexpr qreal ringCornerRadius = 22;
constexpr qreal ringLineWidth = 2;
constexpr int ringSamples = 240;

// The first `fraction` of the outline's length, from its start point.
QPainterPath trimmed(const QPainterPath& outline, qreal fraction) {
    if (fraction >= 1) {
        return outline;
    }
    QPainterPath part(outline.pointAtPercent(0));
    const int steps = std::max(1, int(std::ceil(ringSamples * fraction)));
    for (int i = 1; i <= steps; ++i) {
        part.lineTo(outline.pointAtPercent(std::min(1.0, fraction * i / steps)));
    }
    return part;
}

} // namespace

class SlotRow::RingOverlay : public QWidget {
public:
    explicit RingOverlay(SlotRow* row) : QWidget(row), row_(row) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPen pen(design::palette::accent(), ringLineWidth, Qt::SolidLine, Qt::RoundCap,
                 Qt::RoundJoin);
        pen.setMiterLimit(10);
        painter.setPen(pen);
        for (const auto prompt : allCases<ScreenshotPrompt>()) {
            if (const auto ring = row_->dropRing(prompt)) {
                painter.drawPath(*ring);
            }
        }
    }

private:
    SlotRow* row_;
};

SlotRow::SlotRow(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(horizontalPadding, 0, horizontalPadding, 0);
    layout->setSpacing(slotSpacing);
    layout->addStretch();
    for (const auto prompt : allCases<ScreenshotPrompt>()) {
        auto* slot = new IPhoneReviewSlot(prompt, this);
        slots_[std::size_t(prompt)] = slot;
        layout->addWidget(slot, 0, Qt::AlignTop);
    }
    layout->addStretch();
    overlay_ = new RingOverlay(this);
    for (auto* slot : slots_) {
        connect(slot, &IPhoneReviewSlot::dropRingChanged, overlay_, qOverload<>(&QWidget::update));
    }
}

IPhoneReviewSlot* SlotRow::slot(ScreenshotPrompt prompt) const {
    return slots_[std::size_t(prompt)];
}

void SlotRow::setMetrics(int slotWidth, int rowWidth) {
    for (auto* slot : slots_) {
        slot->setSlotWidth(slotWidth);
    }
    // The padding keeps the outer phones off the view's edges; it comes out of the room the
    // slots are centred in, so a row as wide as the column does not scroll by its padding.
    const int slotsWidth = 5 * slotWidth + 4 * slotSpacing + 2 * horizontalPadding;
    setMinimumWidth(std::max(rowWidth, slotsWidth));
    setFixedHeight(slots_[0]->sizeHint().height());
}

std::optional<QPainterPath> SlotRow::dropRing(ScreenshotPrompt prompt) const {
    const IPhoneReviewSlot* slot = this->slot(prompt);
    const qreal progress = slot->dropRingProgress();
    if (progress <= 0) {
        return std::nullopt;
    }
    const QRectF phone = QRectF(slot->phoneRect()).translated(slot->pos());
    QPainterPath outline;
    outline.addRoundedRect(
        QRectF(-phone.width() / 2, -phone.height() / 2, phone.width(), phone.height()),
        ringCornerRadius, ringCornerRadius);
    // A quarter turn counter-clockwise about the phone's centre.
    QTransform turn;
    turn.translate(phone.center().x(), phone.center().y());
    turn.rotate(-90);
    return trimmed(turn.map(outline), progress);
}

void SlotRow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    overlay_->setGeometry(rect());
    overlay_->raise();
}

} // namespace bw::workspace
