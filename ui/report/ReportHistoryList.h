#pragma once

#include "ui/design/Motion.h"
#include "ui/report/ReportHistoryFilter.h"

#include <QPointer>
#include <QWidget>
#include <map>

namespace bw::design {
class RowsForFocus;
}

namespace bw::report {

class ReportHistoryRow;

// The day sections of the history: a capitalised header with its count over the section's rows,
// separators between rows. Only the rows within a screenful of the visible area exist; they are
// reused as the list scrolls, so a history of thousands opens and scrolls as fast as a short one.
// The row with the focus stays built wherever it is. While a key that may move the focus is
// pressed, the rows it may move to are built wherever they stand: those beside the row with the
// focus or, from outside the list, the first and the last, where Tab comes into it.
class ReportHistoryList : public QWidget {
    Q_OBJECT

public:
    explicit ReportHistoryList(QWidget* parent = nullptr);

    // The reports stay owned by the caller until the next call. Rows of reports no longer
    // listed leave with `leaving`.
    void setSections(std::vector<ReportHistorySection> sections, const QDateTime& now,
                     const design::Motion& leaving = design::Motion::none());
    const std::vector<ReportHistorySection>& sections() const { return sections_; }

    // The widget the list is seen through (a scroll area's viewport); rows are made for its area.
    void setViewport(QWidget* viewport);
    void updateVisibleRows();

    // The row shown for the report, if it is currently built.
    ReportHistoryRow* rowFor(const QUuid& id) const;
    std::vector<ReportHistoryRow*> visibleRows() const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;

signals:
    void openRequested(const bw::ScanReport& report);
    void revealBuildRequested(const bw::ScanReport& report);
    void deleteRequested(const bw::ScanReport& report);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    struct Entry {
        int top;
        const ScanReport* report;
        bool lastInSection;
    };
    struct Header {
        int top;
        QString title;
        qsizetype count;
    };

    void layoutEntries();
    ReportHistoryRow* takeRow(const QUuid& report);
    QRect visibleArea() const;
    std::vector<std::size_t> entriesForFocus() const;

    std::vector<ReportHistorySection> sections_;
    QDateTime now_;
    std::vector<Entry> entries_;
    std::vector<Header> headers_;
    int rowHeight_ = 0;
    int totalHeight_ = 0;
    QPointer<QWidget> viewport_;
    std::map<std::size_t, ReportHistoryRow*> shown_; // entry index → row
    std::vector<ReportHistoryRow*> spare_;
    design::RowsForFocus* rowsForFocus_;
};

} // namespace bw::report
