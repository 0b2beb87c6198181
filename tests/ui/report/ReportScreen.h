#pragma once

#include "app/AppModel.h"
#include "tests/app/ModelHarness.h"
#include "tests/ui/Widgets.h"
#include "ui/report/Pasteboard.h"
#include "ui/report/ReportView.h"

#include <memory>

namespace bw::test {

using report::Pasteboard;
using report::ReportView;

// A report screen over the launched model (the model's harness: its own folder, a manual clock),
// with a clipboard that either keeps what it is given or, like a desktop without a clipboard
// owner, drops it.
class ReportScreen : public ModelHarness {
public:
    explicit ReportScreen(const ScanReport& report, bool clipboardRefuses = false);

    ReportView& view() { return *view_; }
    const QString& clipboard() const { return clipboard_; }
    const Pasteboard& pasteboard() const { return pasteboard_; }

private:
    QString clipboard_;
    Pasteboard pasteboard_;
    std::unique_ptr<ReportView> view_;
};

// The texts of the labels and reading texts under `root` that would show with it.
QStringList shownTexts(const QWidget* root);

// A finding of `severity` made from the sample's first finding, with its own id and title.
Finding craftedFinding(const QString& id, FindingSeverity severity, const QString& title = {});

// The sample report with these findings and passed checks instead of its own.
ScanReport reportWith(std::vector<Finding> findings, std::vector<QString> passed = {});

} // namespace bw::test
