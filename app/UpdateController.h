#pragma once

#include "platform/updater/Updater.h"

#include <QObject>
#include <memory>

namespace bw {

class ApplicationInfo;

// The program's software updates. `controller` is absent when the build names no update feed;
// every update control is then disabled.
class UpdateController : public QObject {
    Q_OBJECT
public:
    explicit UpdateController(std::unique_ptr<updater::Updater> controller = nullptr,
                              QObject* parent = nullptr);

    // An updater for the feed named in the application information (key "SUFeedURL"), started
    // at once; none when the information names no feed or an address that is not http(s).
    static std::unique_ptr<UpdateController>
    fromApplicationInfo(const ApplicationInfo& info, updater::Updater::Environment environment,
                        QObject* parent = nullptr);

    updater::Updater* controller() const { return controller_.get(); }
    bool isAvailable() const { return controller_ != nullptr; }
    // Does nothing without an updater.
    void checkForUpdates();

private:
    std::unique_ptr<updater::Updater> controller_;
};

} // namespace bw
