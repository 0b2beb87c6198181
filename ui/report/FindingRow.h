#pragma once

#include "model/BuildMetadata.h"
#include "model/Finding.h"
#include "ui/design/Motion.h"

#include <QPointer>
#include <QWidget>

class QVBoxLayout;

namespace bw::design {
class CollapsingBox;
}

namespace bw::report {

class FindingResolutionPanel;
class FindingRowHeader;
struct ReportContext;

// One finding of the report's list: its header and, while the list has it open, its guided
// resolution under a rule. The list decides which row is open; the row reports header clicks.
class FindingRow : public QWidget {
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
    QVBoxLayout* layout_;
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
