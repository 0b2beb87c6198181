#include "ui/design/OnDeviceLine.h"

#include "ui/design/Labels.h"
#include "ui/design/Palette.h"
#include "ui/design/Symbols.h"

#include <QHBoxLayout>
#include <QLabel>

namespace bw::design {

OnDeviceLine::OnDeviceLine(QWidget* parent) : QWidget(parent) {
    const QString text = u"Your build stays on this computer."_qs;
    const QColor& color = palette::textTertiary();
    auto* symbol = new SymbolWidget(u"macbook"_qs, TextStyle::medium12, this);
    symbol->setColor(color);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(7);
    layout->addStretch();
    layout->addWidget(symbol);
    layout->addWidget(makeLabel(text, TextStyle::caption, color, this));
    layout->addStretch();
    setFixedHeight(30);
    // Hidden while a screen change draws it gliding to its new place, it keeps that place.
    QSizePolicy policy = sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    setSizePolicy(policy);
    setAccessibleName(text);
}

} // namespace bw::design
