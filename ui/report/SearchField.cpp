#include "ui/report/SearchField.h"

#include "ui/design/BrandShapes.h"
#include "ui/design/FocusInView.h"
#include "ui/design/FocusRing.h"
#include "ui/design/Motion.h"
#include "ui/design/Palette.h"
#include "ui/design/Symbols.h"
#include "ui/design/TextStyle.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>
#include <QToolButton>

namespace bw::report {

namespace {

// This kind never consults reduce motion: its motions always play.
const design::MotionKind searchFieldMotion = design::MotionKind::keeping();

// How far the clear button's ring lies out from the button.
constexpr int clearRingRoom = 4;

} // namespace

namespace palette = design::palette;

SearchField::SearchField(const QString& placeholder, QWidget* parent)
    : QWidget(parent), edit_(new QLineEdit(this)), clear_(new QToolButton(this)),
      glass_(new design::SymbolWidget(QStringLiteral("magnifyingglass"), 13, QFont::Medium, this)),
      focus_(new design::AnimatedValue(0, this)) {
    setFixedSize(360, 38);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(13, 0, 13, 0);
    row->setSpacing(9);
    glass_->setColor(palette::textTertiary());
    row->addWidget(glass_);

    edit_->setPlaceholderText(placeholder);
    edit_->setAccessibleName(placeholder);
    edit_->setFrame(false);
    design::applyTextStyle(edit_, design::TextStyle::body);
    edit_->setStyleSheet(QStringLiteral("QLineEdit { background: transparent; color: %1; }")
                             .arg(palette::textPrimary().name()));
    edit_->installEventFilter(this);
    alignToLeadingEdge();
    // The ring goes round the whole field: so does the view when the keyboard comes to it.
    design::drawsFocusRingWithin(*this);
    row->addWidget(edit_, 1);

    clear_->setToolTip(QStringLiteral("Clear search"));
    clear_->setAccessibleName(QStringLiteral("Clear search"));
    clear_->setAutoRaise(true);
    clear_->setCursor(Qt::PointingHandCursor);
    clear_->setStyleSheet(QStringLiteral("QToolButton { border: none; background: transparent; }"));
    auto* cross =
        new design::SymbolWidget(QStringLiteral("xmark.circle.fill"), 13, QFont::Medium, clear_);
    cross->setColor(palette::textTertiary());
    cross->setAttribute(Qt::WA_TransparentForMouseEvents);
    clear_->setFixedSize(cross->sizeHint());
    clear_->installEventFilter(this);
    clear_->hide();
    row->addWidget(clear_);

    connect(clear_, &QToolButton::clicked, edit_, &QLineEdit::clear);
    connect(edit_, &QLineEdit::textChanged, this, [this](const QString& text) {
        // Shown for any text as typed, blanks included.
        clear_->setVisible(!text.isEmpty());
        emit textChanged(text);
    });
    connect(focus_, &design::AnimatedValue::valueChanged, this, [this](double value) {
        glass_->setColor(value > 0.5 ? palette::textSecondary() : palette::textTertiary());
        update();
    });
}

QString SearchField::text() const {
    return edit_->text();
}

void SearchField::setText(const QString& text) {
    edit_->setText(text);
}

// Qt aligns the text and the placeholder by their own reading order; mirrored, the field's text
// starts beside the magnifying glass all the same.
void SearchField::alignToLeadingEdge() {
    edit_->setAlignment(Qt::AlignAbsolute | Qt::AlignVCenter |
                        (isRightToLeft() ? Qt::AlignRight : Qt::AlignLeft));
}

void SearchField::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LayoutDirectionChange) {
        alignToLeadingEdge();
    }
    QWidget::changeEvent(event);
}

bool SearchField::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::FocusIn && event->type() != QEvent::FocusOut) {
        return false;
    }
    if (watched == edit_) {
        focus_->animateTo(event->type() == QEvent::FocusIn ? 1 : 0,
                          searchFieldMotion.easeOut(0.16));
    } else if (watched == clear_) {
        // Its ring lies round it, on the field.
        update();
    }
    return false;
}

void SearchField::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal focus = focus_->value();
    const QPainterPath capsule = design::capsulePath(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    // White at these opacities, resting and with the keyboard.
    constexpr qreal restFill = 0.028;
    constexpr qreal focusedFill = 0.052;
    painter.fillPath(capsule,
                     QColor::fromRgbF(1, 1, 1, restFill + (focusedFill - restFill) * focus));
    const QColor stroke = focus > 0.5 ? palette::withOpacity(palette::textTertiary(), 0.58)
                                      : palette::withOpacity(palette::hairline(), 0.64);
    painter.strokePath(capsule, QPen(stroke, 1));
    // The field's text takes the keyboard; the ring goes round the whole field.
    design::paintFocusRing(painter, *edit_, height() / 2.0, rect());
    // The clear button's ring goes round its cross with room to spare, which the button is
    // too small to hold.
    const QRect clearRing =
        clear_->geometry().adjusted(-clearRingRoom, -clearRingRoom, clearRingRoom, clearRingRoom);
    design::paintFocusRing(painter, *clear_, clearRing.height() / 2.0, clearRing);
}

} // namespace bw::report
