#pragma once

#include "tests/app/ModelHarness.h"
#include "ui/workspace/FileChooser.h"
#include "ui/workspace/WorkspaceLinks.h"

#include <QLabel>
#include <functional>

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

// The model as the application launches it (the model's harness: its own history folder, the
// real tool stand-ins, the web service on a local server, a clock the test moves), with an open
// panel the test answers.
struct Workspace : bw::test::ModelHarness {
    using ModelHarness::ModelHarness;

    FakeChooser chooser;

    QString path(const char* name) const { return folder.filePath(QString::fromUtf8(name)); }
    static QString fixtureBuild(const char* name) {
        return bw::test::fixtureBuild(QString::fromUtf8(name));
    }

    // A stand-in for the report screen, named so a test can tell it apart.
    static WorkspaceLinks links();

    // Turns the event loop and moves the clock in `step`s until `done` holds; false when
    // `limitSeconds` of clock time pass first.
    bool runUntil(const std::function<bool()>& done, double limitSeconds, double step = 0.01);
};

} // namespace bw::workspace::test
