#include "ui/workspace/StyledLabel.h"

#include <QLabel>

namespace bw::workspace {

QLabel* styledLabel(const QString& text, design::TextStyle style, const QColor& color,
                    QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    design::applyTextStyle(label, style);
    setLabelColor(label, color);
    return label;
}

void setLabelColor(QLabel* label, const QColor& color) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
}

} // namespace bw::workspace
