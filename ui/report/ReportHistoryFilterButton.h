#pragma once

#include "ui/design/SelectableChip.h"

namespace bw::design {
class NumericText;
} // namespace bw::design

namespace bw::report {

// A capsule chip of the history filter: its title and how many reports it admits.
class ReportHistoryFilterButton : public design::SelectableChip {
    Q_OBJECT

public:
    ReportHistoryFilterButton(const QString& title, QWidget* parent = nullptr);

    void setCount(qsizetype count);
    qsizetype count() const { return count_; }

    QSize sizeHint() const override;

protected:
    void paintContent(QPainter& painter, qreal selected) override;
    void selectionChanged() override { updateAccessibleName(); }

private:
    void updateAccessibleName();

    qsizetype count_ = 0;
    design::NumericText* countText_;
};

} // namespace bw::report
