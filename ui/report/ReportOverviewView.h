#pragma once

#include "model/ScanReport.h"
#include "ui/report/ReportMetricTiles.h"

#include <QWidget>

namespace bw::report {

class FittingStack;

// The top of the report: which build was reviewed (with the arrival route), the verdict with
// its advice beside the four counts, and the five build details.
class ReportOverviewView : public QWidget {
    Q_OBJECT
public:
    explicit ReportOverviewView(const ScanReport& report, QWidget* parent = nullptr);

    static std::vector<BuildMetric> buildMetrics(const ScanReport& report);

    FittingStack* verdictBlock() const { return verdict_; }

private:
    FittingStack* identity_;
    FittingStack* verdict_;
};

} // namespace bw::report
