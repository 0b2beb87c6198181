#pragma once

#include "model/MarketingScene.h"

#include <QObject>

namespace bw {
class AppModel;
}

namespace bw::workspace {

// The start screen's part of the "drop" demonstration scene: it switches the model's drag-over
// flag on and off in a fixed rhythm, so the drop zone looks as it does during a real drag. It
// plays from its construction, when the start content is shown, until it is destroyed with that
// content; it leaves the flag as it is then. In any other mode or scene it does nothing.
class HomeDemonstration : public QObject {
    Q_OBJECT

public:
    HomeDemonstration(AppModel& model, bool isEnabled, MarketingScene scene,
                      QObject* parent = nullptr);

private:
    void after(double seconds, void (HomeDemonstration::*step)());
    void turnOn();
    void turnOff();
    void nextCycle();

    AppModel& model_;
};

} // namespace bw::workspace
