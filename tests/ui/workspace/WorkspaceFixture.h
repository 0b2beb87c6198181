#pragma once

#include "app/Launch.h"
#include "platform/clock/ManualClock.h"
#include "tests/support/TestFolder.h"
#include "ui/workspace/FileChooser.h"
#include "ui/workspace/WorkspaceLinks.h"

#include <QLabel>
#include <functional>
#include <memory>

namespace bw::workspace::test {

// Answers the open panel as a test says and remembers what it was asked.
struct FakeChooser : FileChooser {
    std::optional<QString> answer;
    std::vector<FileChoice> asked;

    std::optional<QString> chooseFile(QWidget*, const FileChoice& choice) override {
        asked.push_back(choice);
        return answer;
    }
};

// The model as the application launches it, on a clock the test moves, with a history folder of
// its own, the real tool stand-ins and a web service that is not there.
struct Workspace {
    bw::test::TestFolder folder;
    ManualClock clock;
    std::unique_ptr<AppModel> model;
    FakeChooser chooser;

    // The web service is not there unless a test names one.
    explicit Workspace(const QUrl& backendURL = QUrl(u"http://127.0.0.1:9"_qs),
                       const QStringList& arguments = {u"berthwatch"_qs});

    QString path(const char* name) const;
    static QString fixtureBuild(const char* name);

    // A stand-in for the report screen, named so a test can tell it apart.
    static WorkspaceLinks links();

    // Turns the event loop and moves the clock in `step`s until `done` holds; false when
    // `limitSeconds` of clock time pass first.
    bool runUntil(const std::function<bool()>& done, double limitSeconds, double step = 0.01);
};

} // namespace bw::workspace::test
