#pragma once

#include "ui/design/NumericText.h"

#include <QColor>
#include <QWidget>
#include <optional>

namespace bw::report {

// A count tile: a large number above a small title. A non-zero value takes the emphasis colour
// when there is one; zero is always secondary.
class CompactReportMetric : public QWidget {
    Q_OBJECT
public:
    CompactReportMetric(qint64 value, QString title, std::optional<QColor> emphasis = {},
                        QWidget* parent = nullptr);

    qint64 value() const { return value_; }
    // Shows the value rolling up (or down) from `previous`, as a count that changed.
    void rollFrom(qint64 previous);
    bool isCounting() const { return valueText_.isRolling(); }
    QString title() const { return title_; }
    QColor valueColor() const { return colorOf(value_); }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor colorOf(qint64 value) const;

    qint64 value_;
    // The value it last rolled from, drawn in its own colour while it leaves.
    qint64 previous_;
    QString title_;
    std::optional<QColor> emphasis_;
    design::NumericText valueText_;
};

// The content of one build-detail tile.
struct BuildMetric {
    QString title;
    QString value;
    QString symbol;
};

// A build-detail tile: symbol and title above a one-line value, cut in the middle when long.
// Flexible in width: the tiles of a row share it.
class BuildMetricView : public QWidget {
public:
    explicit BuildMetricView(BuildMetric metric, QWidget* parent = nullptr);

    const BuildMetric& metric() const { return metric_; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    BuildMetric metric_;
};

} // namespace bw::report
