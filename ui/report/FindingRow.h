#pragma once

#include "model/BuildMetadata.h"
#include "model/Finding.h"
#include "ui/design/Motion.h"
#include "ui/report/ColumnStack.h"

#include <QPointer>

namespace bw::design {
class CollapsingBox;
}

namespace bw::report {

class FindingResolutionPanel;
class FindingRowHeader;
struct ReportContext;

// One finding of the report's list: its header and, while the list has it open, its guided
// resolution under a rule. The list decides which row is open; the row reports header clicks.
// Stacked, not laid out in a box: while the list's place for the row lags its opening, the
// header keeps its whole height and what has no room yet is cut at the row's foot, instead of
// the header being squeezed under the panel; and the list follows each change at once.
class FindingRow : public ColumnStack {
    Q_OBJECT
public:
    FindingRow(const Finding& finding, const BuildMetadata& metadata, bool isSelected,
               const ReportContext& context, int horizontalContentInset, QWidget* parent = nullptr);

    bool isSelected() const { return isSelected_; }
    bool isHovering() const { return isHovering_; }
    void setSelected(bool isSelected);

    FindingRowHeader* header() const { return header_; }
    // The open row's panel; none while collapsed.
    FindingResolutionPanel* panel() const { return panel_; }
    // Open, or its panel still closing: its height is more than its header's.
    bool showsPanel() const;

signals:
    void toggled();

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void setHovering(bool hovering);

    Finding finding_;
    BuildMetadata metadata_;
    const ReportContext& context_;
    int inset_;
    bool isSelected_ = false;
    bool isHovering_ = false;
    FindingRowHeader* header_;
    FindingResolutionPanel* panel_ = nullptr;
    // What opens under the header: the rule fades where it stands while the panel slides in.
    struct Disclosure {
        QPointer<design::CollapsingBox> rule;
        QPointer<design::CollapsingBox> panel;
    };
    Disclosure open_;
    Disclosure closing_;
    design::AnimatedValue fill_{0.0};
};

} // namespace bw::report
