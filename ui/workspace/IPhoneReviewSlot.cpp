#include "ui/workspace/IPhoneReviewSlot.h"

#include "ui/design/AppIconTile.h"
#include "ui/design/DropAnswer.h"
#include "ui/design/FocusRing.h"
#include "ui/design/Leading.h"
#include "ui/design/Palette.h"
#include "ui/design/Symbols.h"
#include "ui/design/TextStyle.h"
#include "ui/workspace/CenteredRemoveButton.h"
#include "ui/workspace/IPhone16ProChassis.h"
#include "ui/workspace/ReviewAreaText.h"
#include "ui/workspace/ReviewScreenPlaceholder.h"
#include "ui/workspace/ScreenshotThumbnailLoader.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGraphicsOpacityEffect>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace bw::workspace {

namespace {

// Every motion of this kind is skipped under reduce motion.
const design::MotionKind iPhoneReviewSlotMotion = design::MotionKind::skipping();

namespace palette = design::palette;

constexpr qreal lockedOpacity = 0.48;
constexpr qreal hitCornerRadius = 20;
constexpr int captionSpacing = 9;
constexpr qreal captionPointSize = 10;
constexpr qreal captionMinimumScale = 0.72;
constexpr int captionHeight = 14;
// Thumbnails are read for the largest slot, so that no resize needs a new read.
constexpr qreal largestScreenHeight = 188 / phoneAspectRatio * 39 / 41;

std::optional<QString> firstLocalFile(const QMimeData* data) {
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) {
            return url.toLocalFile();
        }
    }
    return std::nullopt;
}

} // namespace

// The screenshot, scaled to fill the phone's screen with its aspect ratio kept.
class SlotScreenshotView : public QWidget {
public:
    using QWidget::QWidget;
    QImage image;

protected:
    void paintEvent(QPaintEvent*) override {
        if (image.isNull()) {
            return;
        }
        QPainter painter(this);
        painter.setRenderHints(QPainter::SmoothPixmapTransform | QPainter::Antialiasing);
        // Clipped to the screen's own corners, so that no colour fringes the frame's edge.
        const qreal radius = ChassisGeometry::screenRadiusForWidth(width());
        QPainterPath screen;
        screen.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
        painter.setClipPath(screen);
        painter.drawImage(QRectF(rect()), image, design::fillSource(image.size(), size()));
    }
};

// The focus ring round the phone, drawn above the phone's frame.
class SlotFocusRing : public QWidget {
public:
    explicit SlotFocusRing(QWidget* phone) : QWidget(phone) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        design::paintFocusRing(painter, *parentWidget(),
                               ChassisGeometry::bodyRadiusForWidth(width()), rect());
    }
};

// The phone and its remove button: hover, clicks, keys and drops of the slot. The phone is a Tab
// stop: Space or Return chooses a file for an empty one, Delete or Backspace empties a filled one.
class SlotPhoneArea : public QWidget {
public:
    explicit SlotPhoneArea(IPhoneReviewSlot* slot) : QWidget(slot), slot_(slot) {
        setAcceptDrops(true);
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::TabFocus);
    }

    SlotFocusRing* ring = nullptr;

protected:
    void enterEvent(QEnterEvent*) override { slot_->setHovering(true); }
    void leaveEvent(QEvent*) override { slot_->setHovering(false); }

    void focusInEvent(QFocusEvent* event) override {
        QWidget::focusInEvent(event);
        slot_->followKeyboard();
    }
    void focusOutEvent(QFocusEvent* event) override {
        QWidget::focusOutEvent(event);
        slot_->followKeyboard();
    }

    void keyPressEvent(QKeyEvent* event) override {
        const bool plain = !(event->modifiers() & ~Qt::KeypadModifier);
        switch (plain ? event->key() : 0) {
        case Qt::Key_Space:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            slot_->phoneClicked();
            return;
        case Qt::Key_Delete:
        case Qt::Key_Backspace:
            if (slot_->isFilled()) {
                emit slot_->removeRequested();
            }
            return;
        default:
            QWidget::keyPressEvent(event);
        }
    }

    void mousePressEvent(QMouseEvent* event) override { event->accept(); }

    void mouseReleaseEvent(QMouseEvent* event) override {
        QPainterPath hitShape;
        hitShape.addRoundedRect(QRectF(rect()), hitCornerRadius, hitCornerRadius);
        if (event->button() == Qt::LeftButton && hitShape.contains(event->position())) {
            slot_->phoneClicked();
        }
    }

    void dragEnterEvent(QDragEnterEvent* event) override {
        if (slot_->isInputDisabled_ || !firstLocalFile(event->mimeData())) {
            event->ignore();
            return;
        }
        design::takeAsCopy(*event);
        slot_->setTargeted(true);
    }

    void dragLeaveEvent(QDragLeaveEvent*) override { slot_->setTargeted(false); }

    void dropEvent(QDropEvent* event) override {
        slot_->setTargeted(false);
        const auto path = firstLocalFile(event->mimeData());
        if (slot_->isInputDisabled_ || !path) {
            design::refuseDrop(*event);
            return;
        }
        if (!slot_->isUsable_ || slot_->isUsable_(*path)) {
            design::takeAsCopy(*event);
        } else {
            design::refuseDrop(*event);
        }
        slot_->acceptDrop(*path);
    }

private:
    IPhoneReviewSlot* slot_;
};

// The area's short title under the phone, with a check mark once a screenshot is added.
class SlotCaption : public QWidget {
public:
    SlotCaption(const QString& title, QWidget* parent) : QWidget(parent), title_(title) {
        setFixedHeight(captionHeight);
    }

    bool filled = false;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QFont::Weight weight = filled ? QFont::DemiBold : QFont::Medium;
        const design::TextStyle role = filled ? design::TextStyle::screenshotCaptionDone
                                              : design::TextStyle::screenshotCaption;
        const QSizeF check = design::symbolSize(captionPointSize);
        const qreal available = width() - (filled ? check.width() + 4 : 0);
        QFont font = design::textStyleFont(role, captionPointSize);
        // Shrink before truncating, down to 0.72 of the size.
        for (qreal scale = 1; QFontMetricsF(font).horizontalAdvance(title_) > available &&
                              scale > captionMinimumScale;) {
            scale = std::max(captionMinimumScale, scale - 0.04);
            font = design::textStyleFont(role, captionPointSize * scale);
        }
        const QFontMetricsF metrics(font);
        const QString shown = metrics.elidedText(title_, Qt::ElideRight, available);
        const qreal contentWidth =
            metrics.horizontalAdvance(shown) + (filled ? check.width() + 4 : 0);
        qreal x = (width() - contentWidth) / 2;
        if (filled) {
            design::paintSymbol(
                painter,
                design::leading(*this, QRectF({x, (height() - check.height()) / 2}, check)),
                u"checkmark.circle.fill", captionPointSize, weight, palette::success());
            x += check.width() + 4;
        }
        painter.setFont(font);
        painter.setPen(filled ? palette::textPrimary() : palette::textSecondary());
        design::drawText(painter, design::leading(*this, QRectF(x, 0, width() - x, height())),
                         Qt::AlignLeft | Qt::AlignVCenter, shown);
    }

private:
    QString title_;
};

IPhoneReviewSlot::IPhoneReviewSlot(ScreenshotPrompt prompt, QWidget* parent)
    : QWidget(parent), prompt_(prompt), phoneArea_(new SlotPhoneArea(this)),
      placeholder_(new ReviewScreenPlaceholder(prompt)), screenshotView_(new SlotScreenshotView),
      screen_(new QStackedWidget), caption_(new SlotCaption(shortTitle(prompt), this)),
      loader_(new ScreenshotThumbnailLoader(this)) {
    screen_->addWidget(placeholder_);
    screen_->addWidget(screenshotView_);
    chassis_ = new IPhone16ProChassis(screen_, phoneArea_);
    phoneArea_->ring = new SlotFocusRing(phoneArea_);
    removeButton_ = new CenteredRemoveButton(
        QStringLiteral("Remove ") + shortTitle(prompt).toLower() + QStringLiteral(" screenshot"),
        phoneArea_);
    // The keyboard removes from the phone itself (Delete), which shows the button meanwhile.
    removeButton_->setFocusPolicy(Qt::NoFocus);
    connect(removeButton_, &QAbstractButton::clicked, this, &IPhoneReviewSlot::removeRequested);
    connect(loader_, &ScreenshotThumbnailLoader::loaded, this, &IPhoneReviewSlot::showThumbnail);
    connect(&target_, &design::AnimatedValue::valueChanged, this, [this](double progress) {
        placeholder_->setTargetProgress(progress);
        emit dropRingChanged();
    });
    connect(&presence_, &design::AnimatedValue::valueChanged, this, [this](double presence) {
        removeButton_->setPresence(presence);
        refresh();
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(captionSpacing);
    layout->addWidget(phoneArea_);
    layout->addWidget(caption_);
    setSlotWidth(slotWidth_);
    refresh();
}

void IPhoneReviewSlot::setUrl(const std::optional<QString>& url) {
    if (url == url_) {
        return;
    }
    url_ = url;
    // The old picture stays until the new one is read; the phone follows `url` at once anyway.
    loader_->load(url.value_or(QString()),
                  int(std::ceil(largestScreenHeight * devicePixelRatioF())));
    refresh();
}

void IPhoneReviewSlot::setInputDisabled(bool disabled) {
    if (disabled != isInputDisabled_) {
        isInputDisabled_ = disabled;
        refresh();
    }
}

void IPhoneReviewSlot::setUsableFiles(std::function<bool(const QString&)> usable) {
    isUsable_ = std::move(usable);
}

void IPhoneReviewSlot::setSlotWidth(int width) {
    slotWidth_ = width;
    const int phoneHeight = int(std::lround(width / phoneAspectRatio));
    phoneArea_->setFixedSize(width, phoneHeight);
    chassis_->setGeometry(0, 0, width, phoneHeight);
    phoneArea_->ring->setGeometry(0, 0, width, phoneHeight);
    removeButton_->move((width - removeButton_->width()) / 2,
                        (phoneHeight - removeButton_->height()) / 2);
    caption_->setFixedWidth(width);
    setFixedSize(sizeHint());
}

bool IPhoneReviewSlot::showsScreenshot() const {
    return screen_->currentWidget() == screenshotView_;
}

bool IPhoneReviewSlot::isThumbnailSettled() const {
    return loader_->isIdle();
}

QSize IPhoneReviewSlot::screenshotPixelSize() const {
    return showsScreenshot() ? screenshotView_->image.size() : QSize();
}

QRect IPhoneReviewSlot::phoneRect() const {
    return phoneArea_->geometry();
}

QSize IPhoneReviewSlot::sizeHint() const {
    return {slotWidth_,
            int(std::lround(slotWidth_ / phoneAspectRatio)) + captionSpacing + captionHeight};
}

void IPhoneReviewSlot::setTargeted(bool targeted) {
    if (targeted == isTargeted_) {
        return;
    }
    isTargeted_ = targeted;
    chassis_->setTargeted(targeted);
    target_.animateTo(targeted ? 1 : 0, iPhoneReviewSlotMotion.spring(0.24, 1));
}

void IPhoneReviewSlot::setHovering(bool hovering) {
    isHovering_ = hovering;
    followPresence();
}

bool IPhoneReviewSlot::hasKeyboardWithin() const {
    return phoneArea_->hasFocus();
}

void IPhoneReviewSlot::followKeyboard() {
    phoneArea_->ring->update();
    followPresence();
}

// The remove button shows while the pointer is over the phone or the keyboard is on it.
void IPhoneReviewSlot::followPresence() {
    presence_.animateTo(isHovering_ || hasKeyboardWithin() ? 1 : 0,
                        iPhoneReviewSlotMotion.easeOut(0.14));
    refresh();
}

void IPhoneReviewSlot::phoneClicked() {
    if (!url_ && !isInputDisabled_) {
        emit chooseRequested();
    }
}

// Reported after the drop has finished, as the platform's own drop handling does.
void IPhoneReviewSlot::acceptDrop(const QString& path) {
    QMetaObject::invokeMethod(
        this, [this, path] { emit fileDropped(path); }, Qt::QueuedConnection);
}

void IPhoneReviewSlot::showThumbnail(const QImage& image) {
    screenshotView_->image = image;
    refresh();
}

void IPhoneReviewSlot::refresh() {
    const bool filled = isFilled();
    screen_->setCurrentWidget(filled && !screenshotView_->image.isNull()
                                  ? static_cast<QWidget*>(screenshotView_)
                                  : placeholder_);
    // The button fades out after the pointer (or the keyboard) has left the phone, but takes
    // clicks only while the pointer is there.
    removeButton_->setVisible(filled &&
                              (isHovering_ || hasKeyboardWithin() || presence_.value() > 0));
    removeButton_->setAttribute(Qt::WA_TransparentForMouseEvents, !isHovering_);
    phoneArea_->setEnabled(!isLocked());
    if (isLocked() != (phoneArea_->graphicsEffect() != nullptr)) {
        QGraphicsOpacityEffect* effect = nullptr;
        if (isLocked()) {
            effect = new QGraphicsOpacityEffect(phoneArea_);
            effect->setOpacity(lockedOpacity);
        }
        phoneArea_->setGraphicsEffect(effect);
    }
    caption_->filled = filled;
    caption_->update();
    setAccessibleName(shortTitle(prompt_) + QStringLiteral(", ") +
                      (filled ? QStringLiteral("screenshot added") : QStringLiteral("not added")));
    // The phone is what the keyboard stops on.
    phoneArea_->setAccessibleName(accessibleName());
    screenshotView_->update();
}

} // namespace bw::workspace
