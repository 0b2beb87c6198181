#include "ui/workspace/HomeDemonstration.h"

#include "app/AppModel.h"

namespace bw::workspace {

HomeDemonstration::HomeDemonstration(AppModel& model, bool isEnabled, MarketingScene scene,
                                     QObject* parent)
    : QObject(parent), model_(model) {
    if (isEnabled && scene == MarketingScene::drop) {
        nextCycle();
    }
}

// Pending steps are dropped with this object, which is how the sequence is cancelled.
void HomeDemonstration::after(double seconds, void (HomeDemonstration::*step)()) {
    model_.clock().schedule(bw::seconds(seconds), this, [this, step] { (this->*step)(); });
}

void HomeDemonstration::nextCycle() {
    after(1.4, &HomeDemonstration::turnOn);
}

void HomeDemonstration::turnOn() {
    model_.setBuildDropTargeted(true);
    after(1.1, &HomeDemonstration::turnOff);
}

void HomeDemonstration::turnOff() {
    model_.setBuildDropTargeted(false);
    after(0.9, &HomeDemonstration::nextCycle);
}

} // namespace bw::workspace
