#pragma once

#include "ui/design/Motion.h"
#include "ui/report/ReportHistoryFilter.h"

#include <QDateTime>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

class QScrollArea;

namespace bw {
class AppModel;
}

namespace bw::report {}

namespace bw::design {
class AnimatedValue;
class ConfirmationDialog;
} // namespace bw::design

namespace bw::report {

class ReadingText;
class ReportHistoryFilterButton;
class ReportHistoryList;
class SearchField;

// The saved reports screen: the history newest first in day sections, narrowed by a search and a
// verdict filter whose chips count the whole history. Opening, revealing and deleting are the
// model's; deleting asks first. The search, the filter and the pending deletion are this screen's
// own and start afresh with every new screen.
class ReportHistoryView : public QWidget {
    Q_OBJECT

public:
    // `now` gives the wall-clock time that splits the day sections; tests fix it.
    explicit ReportHistoryView(AppModel& model, std::function<QDateTime()> now = {},
                               QWidget* parent = nullptr);

    ReportHistoryFilter filter() const { return filter_; }
    void setFilter(ReportHistoryFilter filter);
    SearchField* searchField() const { return search_; }
    ReportHistoryFilterButton* filterButton(ReportHistoryFilter filter) const;
    ReportHistoryList* list() const { return list_; }
    QScrollArea* scrollArea() const { return scroll_; }
    // The report whose deletion awaits confirmation.
    const std::optional<ScanReport>& reportPendingDeletion() const { return pendingDeletion_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* makeHeader();
    QWidget* makeFilterBar();
    void arrangeFilterBar();
    QWidget* makeEmptyHistory();
    QWidget* makeNoMatch();
    // Rows no longer listed leave with `leaving`.
    void reload(const design::Motion& leaving = design::Motion::none());
    static design::Motion rowsLeaving();
    void askToDelete(const ScanReport& report);
    // The reports listed, in the order shown, and where one of them is (past the end if not).
    std::vector<QUuid> listedIDs() const;
    std::size_t listedPlace(const QUuid& id) const;
    // After a deletion done with the keyboard, gives the focus to the row at `place`.
    void focusListedAfterDeletion(std::size_t place);
    void updateMinimumHeights();

    AppModel& model_;
    std::function<QDateTime()> now_;
    ReportHistoryFilter filter_ = ReportHistoryFilter::all;
    std::optional<ScanReport> pendingDeletion_;

    QScrollArea* scroll_;
    QWidget* column_;
    QWidget* header_;
    QWidget* filterBar_;
    ReadingText* notice_;
    QWidget* emptyHistory_;
    QWidget* noMatch_;
    ReportHistoryList* list_;
    SearchField* search_;
    std::vector<ReportHistoryFilterButton*> chips_;
    QPointer<design::ConfirmationDialog> confirmation_;
};

} // namespace bw::report
