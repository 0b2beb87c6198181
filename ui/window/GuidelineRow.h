#pragma once

#include "model/GuidelineReference.h"
#include "ui/design/HoverButton.h"

#include <QAbstractButton>

namespace bw::design {
class AnimatedValue;
}

namespace bw::window {

// One guideline of the browser: its number, title, summary and category, and an arrow that the
// pointer nudges. Clicking it, or Space or Return while it has focus, asks to open its page.
class GuidelineRow : public design::HoverButton {
    Q_OBJECT

public:
    explicit GuidelineRow(const GuidelineReference& reference, QWidget* parent = nullptr);

    const GuidelineReference& reference() const { return reference_; }
    // The number, category and arrow stack above the title below this width.
    bool isWide() const;

    // The arrow brightens with the hover, from tertiary at rest to secondary under the pointer.
    static QColor arrowColor(qreal hoverProgress);

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Layout;
    Layout layoutFor(int width) const;
    void paintCategory(QPainter& painter, const QRectF& rect) const;

    GuidelineReference reference_;
};

} // namespace bw::window
