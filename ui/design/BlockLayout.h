#pragma once

#include <QBoxLayout>

namespace bw::design {

// A new plain block (a widget with no look of its own) laid out in `direction` with no margins
// and `spacing` between its parts; the block is the layout's parentWidget().
QBoxLayout* blockLayout(QBoxLayout::Direction direction, int spacing);

} // namespace bw::design
