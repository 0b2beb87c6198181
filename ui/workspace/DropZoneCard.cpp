#include "ui/workspace/DropZoneCard.h"

#include "ui/design/FocusRing.h"
#include "ui/design/KeyboardFocus.h"
#include "ui/design/Labels.h"
#include "ui/design/Leading.h"
#include "ui/design/Palette.h"
#include "ui/design/TextStyle.h"
#include "ui/workspace/ExtensionChip.h"
#include "ui/workspace/MorphingTitle.h"

#include <QEnterEvent>
#include <QFontMetricsF>
#include <QGraphicsEffect>
#include <QHBoxLayout>
#include <QPainter>
#include <algorithm>

namespace bw::workspace {

namespace {

// Every motion of this kind is skipped under reduce motion.
const design::MotionKind dropZoneCardMotion = design::MotionKind::skipping();

using design::TextStyle;

struct AcceptedBuildKind {
    const char16_t* id;
    const char16_t* symbol;
};

constexpr AcceptedBuildKind acceptedBuildKinds[] = {
    {u".ipa", u"iphone"}, {u".xcarchive", u"shippingbox.fill"}, {u".app", u"app.fill"}};

const QString chooseText = u"Choose a build"_qs;

// The accent capsule with "Choose a build": part of the card's label, not a button of its own.
class ChoosePill : public QWidget {
public:
    explicit ChoosePill(QWidget* parent) : QWidget(parent) {
        const QFontMetricsF metrics(design::textStyleFont(TextStyle::bodyEmphasized));
        setFixedSize(int(metrics.horizontalAdvance(chooseText) + 44 + 1), 42);
        connect(&hover_, &design::AnimatedValue::valueChanged, this, qOverload<>(&QWidget::update));
    }

    void setHovering(bool hovering) {
        hover_.animateTo(hovering ? 1 : 0, dropZoneCardMotion.spring(0.18));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(
            design::capsulePath(rect()),
            design::palette::withOpacity(design::palette::accent(), 0.94 + 0.06 * hover_.value()));
        painter.setFont(design::textStyleFont(TextStyle::bodyEmphasized));
        painter.setPen(Qt::white);
        design::drawText(painter, rect(), Qt::AlignCenter, chooseText);
    }

private:
    design::AnimatedValue hover_{0.0};
};

} // namespace

// Draws the card grown about its centre; there only while the card is not at its own size.
class CardScaleEffect : public QGraphicsEffect {
public:
    using QGraphicsEffect::QGraphicsEffect;

    void setScale(qreal scale) {
        scale_ = scale;
        update();
    }

    QRectF boundingRectFor(const QRectF& rect) const override {
        const qreal grow = std::max(0.0, scale_ - 1);
        return rect.adjusted(-rect.width() * grow / 2, -rect.height() * grow / 2,
                             rect.width() * grow / 2, rect.height() * grow / 2);
    }

protected:
    void draw(QPainter* painter) override {
        QPoint offset;
        const QPixmap pixmap = sourcePixmap(Qt::LogicalCoordinates, &offset);
        const QPointF centre = sourceBoundingRect().center();
        painter->save();
        painter->setRenderHint(QPainter::SmoothPixmapTransform);
        painter->translate(centre);
        painter->scale(scale_, scale_);
        painter->translate(-centre);
        painter->drawPixmap(offset, pixmap);
        painter->restore();
    }

private:
    qreal scale_ = 1;
};

DropZoneCard::DropZoneCard(QWidget* parent) : QAbstractButton(parent) {
    setCursor(Qt::PointingHandCursor);
    setToolTip(u"Choose an .ipa, .xcarchive, or .app build"_qs);
    setAccessibleName(u"Choose a build to review"_qs);
    design::activateOnReturn(*this);

    runway_ = new design::BerthwatchRunwayMark(this);
    runway_->setFixedWidth(244);
    runway_->setContentsMargins(0, runwayHeadroom, 0, 0);
    setMouseTracking(true);
    title_ = new MorphingTitle(design::textStyleFont(TextStyle::screenTitle),
                               design::palette::textPrimary(), this);
    auto* chipRow = new QHBoxLayout;
    chipRow->setSpacing(8);
    chipRow->addStretch();
    for (const AcceptedBuildKind& kind : acceptedBuildKinds) {
        chips_.push_back(
            new ExtensionChip(QString::fromUtf16(kind.id), QString::fromUtf16(kind.symbol), this));
        chipRow->addWidget(chips_.back());
    }
    chipRow->addStretch();
    pill_ = new ChoosePill(this);

    auto* text = new QVBoxLayout;
    text->setSpacing(11);
    text->addWidget(title_);
    text->addLayout(chipRow);
    layout_ = new QVBoxLayout(this);
    layout_->addWidget(runway_, 0, Qt::AlignHCenter);
    layout_->addLayout(text);
    layout_->addWidget(pill_, 0, Qt::AlignHCenter);
    // The card as a whole takes the clicks and the hover.
    for (QWidget* child : findChildren<QWidget*>()) {
        child->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    connect(&scale_, &design::AnimatedValue::valueChanged, this, &DropZoneCard::showScale);
    setTargeted(false);
    setCompact(false);
}

QString DropZoneCard::title() const {
    return title_->text();
}

void DropZoneCard::setRunwayState(design::BerthwatchRunwayState state) {
    runway_->setState(state);
}

void DropZoneCard::setTargeted(bool targeted) {
    // The words morph with the card's spring; at once with reduce motion or while unseen.
    title_->setText(targeted ? u"Release to check your build"_qs : u"Drop your build anywhere"_qs,
                    isVisible() ? dropZoneCardMotion.spring(0.26) : design::Motion::none());
    for (ExtensionChip* chip : chips_) {
        chip->setEmphasized(targeted);
    }
    // The card grows a little while a file is over the window.
    const double scale = targeted ? 1.01 : 1;
    if (scale_.target() != scale) {
        scale_.animateTo(scale,
                         isVisible() ? dropZoneCardMotion.spring(0.26) : design::Motion::none());
    }
}

void DropZoneCard::showScale(double scale) {
    if (scale == 1 && scale_.target() == 1) {
        setGraphicsEffect(nullptr);
        scaleEffect_ = nullptr;
        return;
    }
    if (!scaleEffect_) {
        scaleEffect_ = new CardScaleEffect(this);
        setGraphicsEffect(scaleEffect_);
    }
    scaleEffect_->setScale(scale);
}

void DropZoneCard::setLaunching(bool launching) {
    launching_ = launching;
    setEnabled(!launching);
}

void DropZoneCard::setCompact(bool compact) {
    layout_->setSpacing(compact ? 20 : 24);
    const int vertical = compact ? 12 : 18;
    // The runway's headroom takes the top padding's place and reaches past it.
    layout_->setContentsMargins(28, std::max(0, vertical - runwayHeadroom), 28, vertical);
    overhang_ = std::max(0, runwayHeadroom - vertical);
    runway_->setFixedHeight((compact ? 76 : 90) + runwayHeadroom);
    updateGeometry();
}

bool DropZoneCard::hitButton(const QPoint& pos) const {
    return pos.y() >= overhang_ && QAbstractButton::hitButton(pos);
}

void DropZoneCard::paintEvent(QPaintEvent*) {
    // The label is all there is: no button chrome, only the ring the keyboard brings, around the
    // card below the runway's headroom.
    QPainter painter(this);
    design::paintFocusRing(painter, *this, 18, rect().adjusted(0, overhang_, 0, 0));
}

void DropZoneCard::enterEvent(QEnterEvent* event) {
    QAbstractButton::enterEvent(event);
    setHovering(hitButton(event->position().toPoint()));
}

void DropZoneCard::mouseMoveEvent(QMouseEvent* event) {
    QAbstractButton::mouseMoveEvent(event);
    setHovering(hitButton(event->position().toPoint()));
}

void DropZoneCard::leaveEvent(QEvent* event) {
    QAbstractButton::leaveEvent(event);
    setHovering(false);
}

// A launching card keeps the hover state it had.
void DropZoneCard::setHovering(bool hovering) {
    if (launching_ || hovering == hovering_) {
        return;
    }
    hovering_ = hovering;
    static_cast<ChoosePill*>(pill_)->setHovering(hovering);
    emit hoveringChanged(hovering);
}

} // namespace bw::workspace
