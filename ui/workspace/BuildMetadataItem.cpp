#include "ui/workspace/BuildMetadataItem.h"

#include "ui/design/Labels.h"
#include "ui/design/Palette.h"
#include "ui/design/TextStyle.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QVBoxLayout>

namespace bw::workspace {

BuildMetadataItem::BuildMetadataItem(const QString& title, const QString& value, bool monospaced,
                                     QWidget* parent)
    : QWidget(parent), value_(value),
      titleLabel_(design::makeLabel(title.toUpper(), design::TextStyle::eyebrow,
                                    design::palette::textTertiary(), this)),
      valueLabel_(new QLabel(this)) {
    design::applyTextStyle(valueLabel_, monospaced ? design::TextStyle::metadataMonoValue
                                                   : design::TextStyle::metadataValue);
    valueLabel_->setTextFormat(Qt::PlainText);
    design::alignText(valueLabel_, Qt::AlignLeft | Qt::AlignVCenter);
    valueLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    valueLabel_->setContextMenuPolicy(Qt::CustomContextMenu);
    valueLabel_->installEventFilter(this);
    connect(valueLabel_, &QWidget::customContextMenuRequested, this, [this](QPoint point) {
        QMenu menu(this);
        menu.addAction(QStringLiteral("Copy"), this, &BuildMetadataItem::copySelection)
            ->setEnabled(valueLabel_->hasSelectedText());
        menu.addAction(QStringLiteral("Select All"), this,
                       [this] { valueLabel_->setSelection(0, int(valueLabel_->text().size())); });
        menu.exec(valueLabel_->mapToGlobal(point));
    });
    design::setTextColor(valueLabel_, design::palette::textPrimary());
    valueLabel_->setText(value);
    valueLabel_->setMinimumWidth(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(titleLabel_);
    layout->addWidget(valueLabel_);
    setAccessibleName(title);
    setAccessibleDescription(value);
    setToolTip(value);
}

// The cell's natural width: its title or its whole value, whichever is wider.
QSize BuildMetadataItem::sizeHint() const {
    const QFontMetricsF valueMetrics(valueLabel_->font());
    const int width = std::max(titleLabel_->sizeHint().width(),
                               int(std::ceil(valueMetrics.horizontalAdvance(value_))) + 1);
    return {width, titleLabel_->sizeHint().height() + 4 + int(std::ceil(valueMetrics.height()))};
}

QSize BuildMetadataItem::minimumSizeHint() const {
    return {1, sizeHint().height()};
}

void BuildMetadataItem::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    valueLabel_->setText(
        QFontMetricsF(valueLabel_->font()).elidedText(value_, Qt::ElideMiddle, width()));
}

bool BuildMetadataItem::eventFilter(QObject* watched, QEvent* event) {
    if (watched == valueLabel_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        copySelection();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// A selection across the ellipsis of a shortened value stands for the whole value.
void BuildMetadataItem::copySelection() const {
    const QString selected = valueLabel_->selectedText();
    if (selected.isEmpty()) {
        return;
    }
    const bool spansEllipsis = valueLabel_->text() != value_ && selected.contains(u'\u2026');
    QApplication::clipboard()->setText(spansEllipsis ? value_ : selected);
}

} // namespace bw::workspace
