#pragma once

#include "ui/window/UrlOpener.h"

#include <QPointer>
#include <QWidget>

class QLabel;
class QScrollArea;

namespace bw {
class AppModel;
class ApplicationInfo;
class UpdateController;
} // namespace bw

namespace bw::design {
class ConfirmationDialog;
}

namespace bw::window {

class SettingsPillButton;
class SettingsRow;

// Where the settings screen looks things up and opens them; each part can be replaced by tests.
struct SettingsEnvironment {
    // Opens the storage folder and the support and policy links; none means the desktop's.
    UrlOpener open;
    // The history's folder; empty means the model's report store's.
    QString storageFolder;
    // The application information; none means the program's own.
    const ApplicationInfo* info = nullptr;
};

// The settings screen: how many reports are saved and where, clearing them after a confirmation;
// the application's name and version, software updates, support and the policies.
class SettingsView : public QWidget {
    Q_OBJECT

public:
    // Without `updates` (or without an update feed) every update control is disabled.
    SettingsView(AppModel& model, UpdateController* updates, SettingsEnvironment environment = {},
                 QWidget* parent = nullptr);

    static QString savedReportsText(qsizetype count);
    QString storageFolder() const { return storageFolder_; }
    // What went wrong with the last clear or reveal, as the screen shows it; empty when nothing.
    QString problem() const;

    void revealStorageFolder();
    void checkForUpdates();

private:
    QWidget* makeReportsAndStorage();
    QWidget* makeAbout();
    void refresh();
    void askToClear();
    void followClear();
    void showProblem(const QString& text);

    AppModel& model_;
    QPointer<UpdateController> updates_;
    UrlOpener open_;
    QString storageFolder_;
    const ApplicationInfo& info_;
    bool isClearing_ = false;

    QScrollArea* scroll_;
    QWidget* column_;
    SettingsRow* savedReports_;
    QLabel* count_;
    SettingsPillButton* reveal_;
    SettingsPillButton* clear_;
    QLabel* problem_;
    QPointer<design::ConfirmationDialog> confirmation_;
};

} // namespace bw::window
