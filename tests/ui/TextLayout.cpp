#include "tests/ui/TextLayout.h"

#include <QAbstractScrollArea>
#include <QFontMetricsF>
#include <QGraphicsEffect>
#include <QLabel>
#include <QPaintEngine>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QWidget>

namespace bw::test {

using namespace Qt::Literals::StringLiterals;

namespace {

// Less than half a pixel of ink past an edge is antialiasing, not a cut.
constexpr double tolerance = 0.5;

struct Painted {
    QString text;
    QRectF ink;
    QRectF clip;
    qreal baseline;
};

// A paint engine that draws nothing and keeps where each text's ink would land and what the
// painter clipped it to, in the device's coordinates.
class TextRecorder : public QPaintEngine {
public:
    TextRecorder() : QPaintEngine(QPaintEngine::AllFeatures) {}

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    Type type() const override { return QPaintEngine::User; }
    void drawPixmap(const QRectF& target, const QPixmap& pixmap, const QRectF& source) override {
        if (QPainter* painter = this->painter()) {
            pictures.push_back({painter->combinedTransform().mapRect(target),
                                source.size() / pixmap.devicePixelRatio(), painter->opacity()});
        }
    }
    void drawImage(const QRectF&, const QImage&, const QRectF&, Qt::ImageConversionFlags) override {
    }
    // Lines, rectangles, ellipses and points end here as paths or polygons.
    void drawPath(const QPainterPath&) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}

    void drawTextItem(const QPointF& origin, const QTextItem& item) override {
        QPainter* painter = this->painter();
        const QString text = item.text();
        // A text nobody can see (faded out, transparent) cannot be cut.
        if (text.trimmed().isEmpty() || !painter || painter->opacity() < 0.02 ||
            painter->pen().color().alphaF() < 0.02) {
            return;
        }
        const QTransform toDevice = painter->combinedTransform();
        const QRectF ink =
            toDevice.mapRect(QFontMetricsF(item.font()).tightBoundingRect(text).translated(origin));
        const QRectF clip = painter->hasClipping() ? toDevice.mapRect(painter->clipBoundingRect())
                                                   : QRectF(-1e6, -1e6, 2e6, 2e6);
        painted.push_back({text, ink, clip, toDevice.map(origin).y()});
    }

    std::vector<Painted> painted;
    std::vector<PaintedPicture> pictures;
};

// A canvas of a widget's size whose painting goes to the recorder.
class TextCanvas : public QPaintDevice {
public:
    explicit TextCanvas(const QWidget& widget) : widget_(widget) {}
    ~TextCanvas() override = default;

    QPaintEngine* paintEngine() const override { return &recorder; }
    mutable TextRecorder recorder;

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

// Where in `window` the texts of `widget` may show: its rectangle within every ancestor's; with
// `scrolling`, only up to a scroll area's content, of which any part the scroll bars can reach
// counts.
QRectF visibleRect(const QWidget& widget, const QWidget& window, bool scrolling) {
    QRect visible(widget.mapTo(&window, QPoint()), widget.size());
    for (const QWidget* ancestor = widget.isWindow() ? nullptr : widget.parentWidget();
         ancestor && ancestor != &window; ancestor = ancestor->parentWidget()) {
        const auto* area = qobject_cast<const QAbstractScrollArea*>(ancestor->parentWidget());
        if (scrolling && area && area->viewport() == ancestor) {
            if (const auto* scroll = qobject_cast<const QScrollArea*>(area);
                scroll && scroll->widget()) {
                const QWidget& content = *scroll->widget();
                const QRect reachable(
                    content.mapTo(&window, QPoint()),
                    QSize(scroll->horizontalScrollBar()->maximum() + ancestor->width(),
                          scroll->verticalScrollBar()->maximum() + ancestor->height()));
                visible &= reachable;
            }
            break;
        }
        visible &= QRect(ancestor->mapTo(&window, QPoint()), ancestor->size());
    }
    return visible;
}

QString quoted(const QString& text) {
    // A symbol is a private-use character of the icon font: named by its code.
    if (text.size() == 1 && text.front().category() == QChar::Other_PrivateUse) {
        return u"symbol U+%1"_s.arg(text.front().unicode(), 4, 16, QChar(u'0'));
    }
    const QString line = text.simplified();
    return u'"' + (line.size() > 48 ? line.left(47) + u'…' : line) + u'"';
}

QString className(const QWidget& widget) {
    return QString::fromLatin1(widget.metaObject()->className());
}

// The widget named by its class and accessible name, and, for one of Qt's own, by the nearest
// of the program's widgets around it.
QString where(const QWidget& widget) {
    const QString name = widget.accessibleName();
    QString result = className(widget) + (name.isEmpty() ? QString() : u' ' + quoted(name));
    const QWidget* owner = &widget;
    while (owner && !className(*owner).startsWith(u"bw::"_s)) {
        owner = owner->parentWidget();
    }
    if (owner && owner != &widget) {
        result += u" of "_s + className(*owner);
    }
    return result;
}

QString rectText(const QRectF& rect) {
    const QRect r = rect.toRect();
    return u"%1,%2 %3×%4"_s.arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// Shown in `window` itself: not in a popup or dialog of its own, which is a window of its own.
bool isShown(const QWidget& widget, const QWidget& window) {
    return widget.window() == &window && widget.isVisibleTo(&window) && widget.width() > 0 &&
           widget.height() > 0;
}

struct DrawnText {
    QString text;
    const QWidget* widget;
    // The ink of the text, the part of the window it shows in now, and the part it may show in
    // once scrolled to, in window coordinates.
    QRectF ink;
    QRectF visible;
    QRectF reachable;
    qreal baseline;
};

// Every text the visible widgets of `window` paint, in painting order.
std::vector<DrawnText> drawnTexts(QWidget& window) {
    std::vector<DrawnText> texts;
    QList<QWidget*> widgets = window.findChildren<QWidget*>();
    widgets.prepend(&window);
    for (QWidget* widget : widgets) {
        if (widget != &window && !isShown(*widget, window)) {
            continue;
        }
        // An effect would paint the widget into a pixmap of its own, hiding its texts.
        QGraphicsEffect* effect = widget->graphicsEffect();
        const bool wasEnabled = effect && effect->isEnabled();
        if (effect) {
            effect->setEnabled(false);
        }
        TextCanvas canvas(*widget);
        {
            // The widget's painters take over this one's state: in the widget's direction, as on
            // the screen, where a mirrored widget draws mirrored.
            QPainter painter(&canvas);
            painter.setLayoutDirection(widget->layoutDirection());
            widget->render(&painter, QPoint(), QRegion(), QWidget::RenderFlags());
        }
        if (effect) {
            effect->setEnabled(wasEnabled);
        }
        const QPointF offset = widget->mapTo(&window, QPoint());
        const QRectF visible = visibleRect(*widget, window, false);
        const QRectF reachable = visibleRect(*widget, window, true);
        for (const Painted& painted : canvas.recorder.painted) {
            const QRectF clip = painted.clip.translated(offset);
            texts.push_back({painted.text, widget, painted.ink.translated(offset), visible & clip,
                             reachable & clip, painted.baseline + offset.y()});
        }
    }
    return texts;
}

} // namespace

std::vector<PaintedText> paintedTexts(QWidget& window) {
    std::vector<PaintedText> texts;
    for (const DrawnText& drawn : drawnTexts(window)) {
        if (!(drawn.ink & drawn.visible).isEmpty()) {
            texts.push_back({drawn.text, drawn.ink, drawn.baseline, drawn.widget});
        }
    }
    return texts;
}

std::vector<PaintedPicture> paintedPictures(QWidget& widget) {
    TextCanvas canvas(widget);
    widget.render(&canvas, QPoint(), QRegion(), QWidget::DrawChildren);
    return canvas.recorder.pictures;
}

std::vector<QString> textFaults(QWidget& window) {
    std::vector<QString> faults;
    const std::vector<DrawnText> texts = drawnTexts(window);
    for (const DrawnText& text : texts) {
        const QRectF& ink = text.ink;
        const QRectF& visible = text.reachable;
        const bool cutVertically =
            ink.top() < visible.top() - tolerance || ink.bottom() > visible.bottom() + tolerance;
        const bool cutAtSide =
            ink.left() < visible.left() - tolerance || ink.right() > visible.right() + tolerance;
        if (cutVertically || cutAtSide) {
            faults.push_back(u"cut %1 %2 in %3: ink %4, shows in %5"_s.arg(
                quoted(text.text), cutVertically ? u"top or bottom"_s : u"at a side"_s,
                where(*text.widget), rectText(ink), rectText(visible)));
        }
    }
    for (std::size_t i = 0; i < texts.size(); ++i) {
        for (std::size_t j = i + 1; j < texts.size(); ++j) {
            const DrawnText& a = texts[i];
            const DrawnText& b = texts[j];
            // A widget drawing one text twice (a glow, a cross-fade) is one text to the eye.
            if (a.widget == b.widget && a.text == b.text) {
                continue;
            }
            const QRectF shared = (a.ink & a.visible) & (b.ink & b.visible);
            if (shared.width() > tolerance && shared.height() > tolerance) {
                faults.push_back(u"overlap %1 in %2 with %3 in %4 at %5"_s.arg(
                    quoted(a.text), where(*a.widget), quoted(b.text), where(*b.widget),
                    rectText(shared)));
            }
        }
    }
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        if (!isShown(*label, window) || !label->wordWrap() || label->text().isEmpty()) {
            continue;
        }
        const int needed = label->heightForWidth(label->width());
        if (needed > label->height()) {
            faults.push_back(u"short %1 in %2: needs %3 high at width %4, has %5"_s
                                 .arg(quoted(label->text()), where(*label))
                                 .arg(needed)
                                 .arg(label->width())
                                 .arg(label->height()));
        }
    }
    return faults;
}

} // namespace bw::test
