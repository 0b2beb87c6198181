#include "ui/design/BareScrollArea.h"

#include "ui/design/FollowPointer.h"

#include <QScrollArea>
#include <QScrollBar>

namespace bw::design {

QScrollArea* bareScrollArea(QWidget* parent) {
    auto* scroll = new QScrollArea(parent);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->viewport()->setAutoFillBackground(false);
    for (QScrollBar* bar : {scroll->horizontalScrollBar(), scroll->verticalScrollBar()}) {
        QObject::connect(bar, &QScrollBar::valueChanged, scroll,
                         [scroll] { followPointer(*scroll); });
    }
    return scroll;
}

void setBareContent(QScrollArea& scroll, QWidget* content) {
    scroll.setWidget(content);
    content->setAutoFillBackground(false);
}

} // namespace bw::design
