#pragma once

#include "model/ScanReport.h"
#include "ui/report/ReportContext.h"
#include "ui/report/ReportFilterBar.h"
#include "ui/report/ReportNewScanButton.h"

#include <QPointer>
#include <QWidget>
#include <functional>

class QScrollArea;

namespace bw::report {

class ColumnStack;
class EmptyFindingsView;
class FindingList;
class PassedChecksView;
class ReportOverviewView;

// The screen of one finished report: the overview, the model's notice, the filter bar and the
// findings (or the passed checks) in one scrolling column, and the privacy line under it. The
// filter and the open finding live in the model; this view only keeps whether the passed checks
// are shown and whether its entrance has begun. Another report shown in it reruns the entrance.
class ReportView : public QWidget {
    Q_OBJECT
public:
    ReportView(const ReportContext& context, const ScanReport& report, QWidget* parent = nullptr);
    ~ReportView() override;

    // Shows another report; a new id restarts the entrance and leaves the passed checks.
    void setReport(const ScanReport& report);
    const ScanReport& report() const { return report_; }

    // The toolbar's "Scan another build", for the window to place; it goes with this view.
    ReportNewScanButton* newScanButton() const { return newScanButton_; }

    std::vector<Finding> visibleFindings() const;
    bool isPassedSelected() const { return isPassedSelected_; }

    // The actions of the filter bar and the list.
    void showAllFindings();
    void selectSeverity(FindingSeverity severity);
    void applyFilterChange(const std::function<void()>& action);
    void togglePassedChecks();
    void toggleFinding(const QString& findingID);
    void startNewScan();

    ReportFilterBar* filterBar() const { return filterBar_; }
    FindingList* findingList() const { return findingList_; }
    EmptyFindingsView* emptyFindings() const { return emptyFindings_; }
    PassedChecksView* passedChecks() const { return passedChecks_; }
    // The notice row; none while the model has no notice.
    QWidget* noticeRow() const { return noticeRow_; }
    QScrollArea* scrollArea() const { return scrollArea_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildOverview();
    void updateNotice();
    void updateSection();
    // What the section below the filter bar shows.
    enum class SectionContent { findings, empty, passed };
    void changeSectionContent(SectionContent next);
    void updateExpandedRow();
    void chipClicked(ReportFilterChoice choice);
    ReportFilterChoice currentChoice() const;
    void presentEntrance();

    ReportContext context_;
    ScanReport report_;
    bool isPassedSelected_ = false;
    // False until the entrance has begun bringing the content in.
    bool isPresented_ = false;
    SectionContent shownContent_ = SectionContent::findings;
    QScrollArea* scrollArea_;
    ColumnStack* column_;
    ReportOverviewView* overview_ = nullptr;
    QWidget* noticeRow_ = nullptr;
    ReportFilterBar* filterBar_;
    ColumnStack* section_;
    FindingList* findingList_;
    EmptyFindingsView* emptyFindings_;
    PassedChecksView* passedChecks_;
    QPointer<ReportNewScanButton> newScanButton_;
    // What the list was last given, so a change of the open finding alone keeps its rows.
    bool isListStale_ = true;
    std::optional<FindingSeverity> listedFilter_;
};

} // namespace bw::report
