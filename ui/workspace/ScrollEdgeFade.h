#pragma once

#include <QObject>

class QAbstractScrollArea;
class QGraphicsOpacityEffect;

namespace bw::workspace {

// The only sign that a view without scroll bars goes on: its content fades out toward each edge
// beyond which more of it lies, and stands solid at an edge where it ends. Shift and the wheel
// scroll a sideways view, as on other desktop applications; the wheel alone does too until the
// view reaches its end, and then scrolls the page around it.
class ScrollEdgeFade : public QObject {
    Q_OBJECT

public:
    // How far into the view a faded edge reaches.
    static constexpr int length = 28;

    ScrollEdgeFade(QAbstractScrollArea* area, Qt::Orientation orientation);

    // More content lies before (above or to the left of) the visible part; after it.
    bool fadesStart() const { return fadesStart_; }
    bool fadesEnd() const { return fadesEnd_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void follow();

    QAbstractScrollArea* area_;
    Qt::Orientation orientation_;
    bool fadesStart_ = false;
    bool fadesEnd_ = false;
};

} // namespace bw::workspace
