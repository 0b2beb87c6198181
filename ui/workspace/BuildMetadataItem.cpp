#include "ui/workspace/BuildMetadataItem.h"

#include "ui/design/Palette.h"
#include "ui/design/TextStyle.h"
#include "ui/workspace/StyledLabel.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QVBoxLayout>

namespace bw::workspace {

BuildMetadataItem::BuildMetadataItem(const QString& title, const QString& value, bool monospaced,
                                     QWidget* parent)
    : QWidget(parent), value_(value),
      titleLabel_(styledLabel(title.toUpper(), design::TextStyle::eyebrow,
                              design::palette::textTertiary(), this)),
      valueLabel_(new QLabel(this)) {
    valueLabel_->setFont(design::systemFont(11, QFont::Medium,
                                            monospaced ? design::FontDesign::monospaced
                                                       : design::FontDesign::standard));
    valueLabel_->setTextFormat(Qt::PlainText);
    setLabelColor(valueLabel_, design::palette::textPrimary());
    valueLabel_->setText(value);
    valueLabel_->setMinimumWidth(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(titleLabel_);
    layout->addWidget(valueLabel_);
    setFocusPolicy(Qt::ClickFocus);
    setAccessibleName(title);
    setAccessibleDescription(value);
    setToolTip(value);
}

QSize BuildMetadataItem::sizeHint() const {
    const QFontMetrics valueMetrics(valueLabel_->font());
    const int width =
        std::max(titleLabel_->sizeHint().width(), valueMetrics.horizontalAdvance(value_));
    return {width, titleLabel_->sizeHint().height() + 4 + valueMetrics.height()};
}

QSize BuildMetadataItem::minimumSizeHint() const {
    return {1, sizeHint().height()};
}

void BuildMetadataItem::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    valueLabel_->setText(
        QFontMetrics(valueLabel_->font()).elidedText(value_, Qt::ElideMiddle, width()));
}

void BuildMetadataItem::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.addAction(QStringLiteral("Copy"), this, &BuildMetadataItem::copyValue);
    menu.exec(event->globalPos());
}

void BuildMetadataItem::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        copyValue();
        return;
    }
    QWidget::keyPressEvent(event);
}

void BuildMetadataItem::copyValue() const {
    QApplication::clipboard()->setText(value_);
}

} // namespace bw::workspace
