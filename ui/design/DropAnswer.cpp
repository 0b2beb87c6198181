#include "ui/design/DropAnswer.h"

#include <QDropEvent>

namespace bw::design {

void takeAsCopy(QDropEvent& event) {
    if (event.possibleActions().testFlag(Qt::CopyAction)) {
        event.setDropAction(Qt::CopyAction);
        event.accept();
    } else {
        event.acceptProposedAction();
    }
}

void refuseDrop(QDropEvent& event) {
    event.setDropAction(Qt::IgnoreAction);
    event.ignore();
}

} // namespace bw::design
