#pragma once

#include "model/MarketingScene.h"
#include "model/ReportEnums.h"
#include "model/ScanReport.h"
#include "platform/clock/Clock.h"

#include <QProcessEnvironment>
#include <QStringList>
#include <optional>

namespace bw {

class AppModel;

// Where the demonstration scenes come from: the launch switches and the files they show.
struct DemonstrationSources {
    // The demonstration switches are read from these.
    QStringList arguments;
    QProcessEnvironment environment;
    // The scenes' report, sample screenshots and archives; empty means the program's fixed
    // places.
    QString showcaseFile;
    QString sampleExportFolder;
    QString archivesFolder;
};

// Plays the scripted scenes a demonstration launch asks for, for screen captures: it sets the
// model up as the scene shows it and, for the timed scenes, writes the model's state on the
// clock as a user's actions would.
class DemonstrationDirector {
public:
    DemonstrationDirector(AppModel& model, Clock& clock, DemonstrationSources sources);

    // Whether the launch switches ask for a demonstration, and its scene.
    bool isDemonstration() const;
    MarketingScene scene() const;

    // Sets up the scene of the launch switches; false (nothing changed) when this is no
    // demonstration launch.
    bool apply();

private:
    ScanReport showcaseReport() const;
    QString sampleImage(ScreenshotPrompt prompt) const;
    void stageBuild();
    void setScreenshot(ScreenshotPrompt prompt, const std::optional<QString>& path);
    void showReport(const ScanReport& report);
    void playSequence();
    void playShowcaseStep(std::size_t index);
    void selectFinding(const ScanReport& report);

    AppModel& model_;
    Clock& clock_;
    DemonstrationSources sources_;
};

} // namespace bw
