#include "ui/design/BlockLayout.h"

#include <QWidget>

namespace bw::design {

QBoxLayout* blockLayout(QBoxLayout::Direction direction, int spacing) {
    auto* layout = new QBoxLayout(direction, new QWidget);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    return layout;
}

} // namespace bw::design
