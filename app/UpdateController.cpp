#include "app/UpdateController.h"

#include "services/info/ApplicationInfo.h"

namespace bw {

UpdateController::UpdateController(std::unique_ptr<updater::Updater> controller, QObject* parent)
    : QObject(parent), controller_(std::move(controller)) {}

std::unique_ptr<UpdateController>
UpdateController::fromApplicationInfo(const ApplicationInfo& info,
                                      updater::Updater::Environment environment, QObject* parent) {
    const QUrl feed(info.string(QStringLiteral("SUFeedURL")).value_or(QString()).trimmed(),
                    QUrl::StrictMode);
    const QString scheme = feed.scheme().toLower();
    if (!feed.isValid() || feed.host().isEmpty() || (scheme != "https" && scheme != "http")) {
        return std::make_unique<UpdateController>(nullptr, parent);
    }
    const QString version = info.string(QStringLiteral("CFBundleVersion")).value_or(QString());
    auto updater = std::make_unique<updater::Updater>(feed, version, std::move(environment));
    updater->start();
    return std::make_unique<UpdateController>(std::move(updater), parent);
}

void UpdateController::checkForUpdates() {
    if (controller_) {
        controller_->checkForUpdates();
    }
}

} // namespace bw
