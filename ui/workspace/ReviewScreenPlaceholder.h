#pragma once

#include "model/ReportEnums.h"

#include <QWidget>

namespace bw::workspace {

// The measures of a placeholder of width `w`: each a fraction of the width, within bounds.
struct PlaceholderMetrics {
    qreal symbolSize;
    qreal titleSize;
    qreal subtitleSize;
    qreal badgeSize;
    qreal outerSpacing;
    qreal titleSpacing;
    qreal badgeTopPadding;
    qreal subtitlePadding;

    static PlaceholderMetrics forWidth(qreal w);
};

// What an empty review slot's screen shows: the area's symbol, title and what the screen should
// show, and an add badge that turns into a drop arrow while a file is dragged over the slot.
class ReviewScreenPlaceholder : public QWidget {
    Q_OBJECT

public:
    explicit ReviewScreenPlaceholder(ScreenshotPrompt prompt, QWidget* parent = nullptr);

    // 0 at rest, 1 while a file is dragged over the slot; values between are the change under way.
    void setTargetProgress(qreal progress);
    bool isTargeted() const { return progress_ >= 0.5; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ScreenshotPrompt prompt_;
    qreal progress_ = 0;
};

} // namespace bw::workspace
