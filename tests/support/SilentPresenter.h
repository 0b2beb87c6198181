#pragma once

#include "platform/updater/Updater.h"

namespace bw::test {

// An update presenter that shows nothing, for tests that only start checks.
struct SilentPresenter : updater::UpdatePresenter {
    void offerUpdate(const updater::AppcastItem&) override {}
    void reportUpToDate() override {}
    void reportFailure(const QString&) override {}
};

} // namespace bw::test
