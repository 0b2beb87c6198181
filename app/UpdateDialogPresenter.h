#pragma once

#include "platform/updater/Updater.h"

#include <QString>
#include <QUrl>
#include <functional>

namespace bw {

// Shows an update check's outcome in message boxes; a chosen download opens in the browser.
class UpdateDialogPresenter : public updater::UpdatePresenter {
public:
    // `currentVersion` is the version shown to people ("1.0.0").
    explicit UpdateDialogPresenter(QString currentVersion);

    void offerUpdate(const updater::AppcastItem& item) override;
    void reportUpToDate() override;
    void reportFailure(const QString& message) override;

private:
    QString currentVersion_;
};

} // namespace bw
