#pragma once

#include "ui/design/SelectableChip.h"

namespace bw::window {

// A capsule chip of the guideline browser's category row.
class GuidelineCategoryChip : public design::SelectableChip {
    Q_OBJECT

public:
    explicit GuidelineCategoryChip(const QString& title, QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintContent(QPainter& painter, qreal selected) override;
    void selectionChanged() override;
};

} // namespace bw::window
