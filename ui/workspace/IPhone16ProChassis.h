#pragma once

#include <QRectF>
#include <QWidget>

namespace bw::workspace {

// Where the parts of the drawn phone go for a given size; every measure is a fixed fraction of
// the size, so the phone scales with its slot (188 × 369 is the reference size).
struct ChassisGeometry {
    QRectF screen;
    qreal screenRadius;
    QRectF island;
    QRectF lens;
    QRectF homeIndicator;

    static ChassisGeometry forSize(QSizeF size);
    // The corner radius of a screen `width` wide.
    static qreal screenRadiusForWidth(qreal width) { return width * (15.0 / 94) / (42.0 / 47); }
    // The corner radius of the body of a phone `width` wide.
    static qreal bodyRadiusForWidth(qreal width) { return width * 38.0 / 188; }
};

inline constexpr qreal phoneAspectRatio = 188.0 / 369.0;

// A drawn iPhone 16 Pro front around a content widget: the content fills the screen, and the
// frame, the Dynamic Island and the home indicator are drawn above it without taking clicks.
class IPhone16ProChassis : public QWidget {
    Q_OBJECT

public:
    explicit IPhone16ProChassis(QWidget* content, QWidget* parent = nullptr);

    // A file is dragged over the slot: the frame brightens.
    void setTargeted(bool targeted);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    class Overlay;

    QWidget* content_;
    Overlay* overlay_;
};

} // namespace bw::workspace
