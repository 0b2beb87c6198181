#pragma once

#include "model/ScanReport.h"

#include <QToolButton>
#include <functional>
#include <optional>

namespace bw {
class AppModel;
}

namespace bw::report {

class Pasteboard;

// The report's share menu for a toolbar: "Copy" puts the report's Markdown on the clipboard,
// "Save As…" writes it to a .md file the user chooses. Disabled while there is no report.
class ReportShareButton : public QToolButton {
    Q_OBJECT
public:
    // Asks for the file to write, offering a name; none when the user cancels.
    using FileChooser =
        std::function<std::optional<QString>(QWidget* parent, const QString& suggestedName)>;

    ReportShareButton(AppModel& model, const Pasteboard& pasteboard, FileChooser chooser = {},
                      QWidget* parent = nullptr);

    void setReport(const std::optional<ScanReport>& report);
    QAction* copyAction() const { return copy_; }
    QAction* saveAction() const { return save_; }

private:
    void copyMarkdown();
    void saveMarkdown();

    AppModel& model_;
    const Pasteboard& pasteboard_;
    FileChooser chooser_;
    std::optional<ScanReport> report_;
    QAction* copy_;
    QAction* save_;
};

} // namespace bw::report
