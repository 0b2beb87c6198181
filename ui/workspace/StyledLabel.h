#pragma once

#include "ui/design/TextStyle.h"

#include <QColor>
#include <QString>

class QLabel;
class QWidget;

namespace bw::workspace {

// A label in a text role and colour, the way every text of the workspace is set.
QLabel* styledLabel(const QString& text, design::TextStyle style, const QColor& color,
                    QWidget* parent = nullptr);

// Changes the colour of a label made by styledLabel.
void setLabelColor(QLabel* label, const QColor& color);

} // namespace bw::workspace
