#pragma once

#include "model/ScanReport.h"
#include "ui/design/Labels.h"
#include "ui/design/Motion.h"
#include "ui/design/NumericText.h"

#include <QAbstractButton>

namespace bw::report {

// The filter bar's five choices, in display order; exactly one is selected.
enum class ReportFilterChoice { all, blockers, risks, manual, passed };

// One chip: a title and a count, or "N passed" for the passed chip.
class ReportFilterChip : public QAbstractButton {
    Q_OBJECT
public:
    ReportFilterChip(QString title, bool showsCountFirst, QWidget* parent = nullptr);

    void setCount(qsizetype count);
    qsizetype count() const { return count_; }
    bool isCounting() const { return countText_.isRolling(); }
    void setSelected(bool selected);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    // The bar decides what is selected; a click alone changes nothing.
    void nextCheckState() override {}

private:
    QString label() const;

    QString title_;
    bool countFirst_;
    qsizetype count_ = 0;
    design::NumericText countText_;
};

// The header of the findings section: the summary on the left; on the right the severity chips
// on their shared capsule and the passed-checks chip. One selection capsule moves between the
// chips when the choice changes.
class ReportFilterBar : public QWidget {
    Q_OBJECT
public:
    explicit ReportFilterBar(QWidget* parent = nullptr);

    void setReport(const ScanReport& report, bool isPassedSelected);
    void setChoice(ReportFilterChoice choice, const design::Motion& motion);
    ReportFilterChoice choice() const { return choice_; }

    ReportFilterChip* chip(ReportFilterChoice choice) const;
    QString summary() const;
    // Where the selection capsule is drawn now, in the bar's coordinates.
    QRectF selectionRect() const;

signals:
    void chipClicked(ReportFilterChoice choice);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QRectF chipRect(ReportFilterChoice choice) const;

    design::ElidedText* summary_;
    QWidget* group_;
    std::array<ReportFilterChip*, 5> chips_{};
    ReportFilterChoice choice_ = ReportFilterChoice::all;
    QRectF from_;
    design::AnimatedValue glide_{1.0};
};

} // namespace bw::report
