#pragma once

#include "app/AppModel.h"
#include "platform/clock/ManualClock.h"
#include "tests/support/TestFolder.h"
#include "ui/report/Pasteboard.h"
#include "ui/report/ReportView.h"

#include <memory>

namespace bw::test {

using report::Pasteboard;
using report::ReportView;

// A report screen on its own model, with a manual clock and a clipboard that either keeps what
// it is given or, like a desktop without a clipboard owner, drops it.
class ReportScreen {
public:
    explicit ReportScreen(const ScanReport& report, std::optional<QString> notice = {},
                          bool clipboardRefuses = false);

    AppModel& model() { return *model_; }
    ReportView& view() { return *view_; }
    ManualClock& clock() { return clock_; }
    const QString& clipboard() const { return clipboard_; }
    const Pasteboard& pasteboard() const { return pasteboard_; }
    const TestFolder& folder() const { return folder_; }
    // Runs the posted layout passes until the screen has settled.
    void settle();

private:
    TestFolder folder_;
    ManualClock clock_;
    QString clipboard_;
    Pasteboard pasteboard_;
    std::unique_ptr<AppModel> model_;
    std::unique_ptr<ReportView> view_;
};

// The texts of the labels and reading texts under `root` that would show with it.
QStringList shownTexts(const QWidget* root);

// A finding of `severity` made from the sample's first finding, with its own id and title.
Finding craftedFinding(const QString& id, FindingSeverity severity, const QString& title = {});

// The sample report with these findings and passed checks instead of its own.
ScanReport reportWith(std::vector<Finding> findings, std::vector<QString> passed = {});

} // namespace bw::test
