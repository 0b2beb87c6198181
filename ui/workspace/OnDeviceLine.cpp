#include "ui/workspace/OnDeviceLine.h"

#include "ui/design/Labels.h"
#include "ui/design/Palette.h"
#include "ui/design/Symbols.h"

#include <QHBoxLayout>
#include <QLabel>

namespace bw::workspace {

OnDeviceLine::OnDeviceLine(QWidget* parent) : QWidget(parent) {
    const QString text = u"Your build stays on this computer."_qs;
    const QColor& color = design::palette::textTertiary();
    auto* symbol = new design::SymbolWidget(u"macbook"_qs, 12, QFont::Medium, this);
    symbol->setColor(color);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(7);
    layout->addStretch();
    layout->addWidget(symbol);
    layout->addWidget(design::makeLabel(text, design::TextStyle::caption, color, this));
    layout->addStretch();
    setFixedHeight(30);
    setAccessibleName(text);
}

} // namespace bw::workspace
