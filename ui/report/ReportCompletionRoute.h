#pragma once

#include "ui/design/Motion.h"

#include <QUuid>
#include <QWidget>

namespace bw::report {

// The arrival banner of a report: the plane flies in along a short route line and settles at its
// end, then "REVIEW COMPLETE" slides in. Replays for each new report id; drawn at its end at once
// under reduce motion.
class ReportCompletionRoute : public QWidget {
    Q_OBJECT
public:
    explicit ReportCompletionRoute(QWidget* parent = nullptr);

    void setReportID(const QUuid& reportID);
    // 0 at the start of the arrival, 1 when the plane has landed.
    double arrival() const { return arrival_.value(); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QUuid reportID_;
    design::AnimatedValue arrival_{0.0};
    design::AnimatedValue caption_{0.0};
};

} // namespace bw::report
