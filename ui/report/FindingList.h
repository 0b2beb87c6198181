#pragma once

#include "model/BuildMetadata.h"
#include "model/Finding.h"

#include <QHash>
#include <QPointer>
#include <QWidget>
#include <map>
#include <optional>
#include <vector>

namespace bw::design {
class RowsForFocus;
}

namespace bw::report {

class FindingRow;
struct ReportContext;

// The shown findings, one row each, with separators between them. Rows are keyed by their
// position in the shown list (two findings may share an id) and built only while they are near
// the scroll area's visible part, so a report of hundreds of findings costs a screenful of rows.
// Heights of rows not built yet come from the header's own measure; the open row is always
// built and measured as it is, and so is the row with the focus. While a key that may move the
// focus is pressed, the rows it may move to are built wherever they stand: those beside the row
// with the focus or, from outside the list, the first and the last, where Tab comes into it.
class FindingList : public QWidget {
    Q_OBJECT
public:
    FindingList(const ReportContext& context, QWidget* parent = nullptr);

    void setFindings(std::vector<Finding> findings, BuildMetadata metadata,
                     std::optional<std::size_t> expandedRow);
    void setExpandedRow(std::optional<std::size_t> row);
    // The scroll area's viewport, which decides what is near the visible part.
    void setViewport(QWidget* viewport);
    // The control that Tab leaves for the first row; each row's header follows the controls
    // of the row before, and an open row's controls follow its header.
    void setTabAnchor(QWidget* anchor);

    std::size_t count() const { return findings_.size(); }
    std::optional<std::size_t> expandedRow() const { return expanded_; }
    // The row at `index` when it is built, else none.
    FindingRow* builtRow(std::size_t index) const;
    std::size_t builtRowCount() const { return rows_.size(); }
    QRect rowRect(std::size_t index) const;

    QSize sizeHint() const override;

public slots:
    void updateVisibleRows();

signals:
    // The header of the row at `index` was clicked.
    void rowToggled(std::size_t index);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void measure(int width);
    int measuredHeight(std::size_t index, int width);
    std::pair<std::size_t, std::size_t> nearbyRange() const;
    std::vector<std::size_t> rowsForFocus() const;
    FindingRow* buildRow(std::size_t index);
    void dropRow(std::size_t index);
    void chainTabOrder();

    const ReportContext& context_;
    std::vector<Finding> findings_;
    BuildMetadata metadata_;
    std::optional<std::size_t> expanded_;
    QPointer<QWidget> viewport_;
    QPointer<QWidget> tabAnchor_;
    std::map<std::size_t, FindingRow*> rows_;
    int measuredWidth_ = -1;
    // Header heights by title at `headerWidth_`: wrapping a title is the costly part of a
    // measure, and a filter switch shows titles measured before.
    QHash<QString, int> headerHeights_;
    int headerWidth_ = -1;
    std::vector<int> heights_;
    std::vector<int> tops_;
    int totalHeight_ = 0;
    design::RowsForFocus* rowsForFocus_;
};

} // namespace bw::report
