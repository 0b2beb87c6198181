#include "ui/design/TextInk.h"

#include <QFontMetricsF>
#include <QPaintEngine>
#include <QPainter>
#include <QWidget>

namespace bw::design {

namespace {

// Draws nothing; keeps where each text's ink would land, in the device's coordinates.
class InkRecorder : public QPaintEngine {
public:
    InkRecorder() : QPaintEngine(QPaintEngine::AllFeatures) {}

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    Type type() const override { return QPaintEngine::User; }
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawImage(const QRectF&, const QImage&, const QRectF&, Qt::ImageConversionFlags) override {
    }
    void drawPath(const QPainterPath&) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}

    void drawTextItem(const QPointF& origin, const QTextItem& item) override {
        const QPainter* painter = this->painter();
        const QString text = item.text();
        if (!painter || text.trimmed().isEmpty() || painter->opacity() < 0.02 ||
            painter->pen().color().alphaF() < 0.02) {
            return;
        }
        const QRectF ink = QFontMetricsF(item.font()).tightBoundingRect(text).translated(origin);
        inks.push_back(painter->combinedTransform().mapRect(ink));
    }

    std::vector<QRectF> inks;
};

// A canvas of the widget's size whose painting goes to the recorder.
class InkCanvas : public QPaintDevice {
public:
    explicit InkCanvas(const QWidget& widget) : widget_(widget) {}

    QPaintEngine* paintEngine() const override { return &recorder; }
    mutable InkRecorder recorder;

protected:
    int metric(PaintDeviceMetric metric) const override {
        switch (metric) {
        case PdmWidth:
            return widget_.width();
        case PdmHeight:
            return widget_.height();
        case PdmDepth:
            return 32;
        case PdmDpiX:
        case PdmPhysicalDpiX:
            return widget_.logicalDpiX();
        case PdmDpiY:
        case PdmPhysicalDpiY:
            return widget_.logicalDpiY();
        case PdmNumColors:
            return INT_MAX;
        case PdmWidthMM:
            return widget_.widthMM();
        case PdmHeightMM:
            return widget_.heightMM();
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        }
        return 0;
    }

private:
    const QWidget& widget_;
};

} // namespace

std::vector<QRectF> textInk(QWidget& widget) {
    InkCanvas canvas(widget);
    widget.render(&canvas, QPoint(), QRegion(), QWidget::RenderFlags());
    return std::move(canvas.recorder.inks);
}

} // namespace bw::design
