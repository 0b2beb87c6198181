#pragma once

#include "ui/design/Motion.h"

#include <QColor>
#include <QFont>
#include <QWidget>

namespace bw::workspace {

// A centred one-line title whose changes morph: the old words fade and settle away while the new
// ones fade in and grow into place. The new text is the title at once; only its drawing moves.
class MorphingTitle : public QWidget {
    Q_OBJECT

public:
    MorphingTitle(const QFont& font, const QColor& color, QWidget* parent = nullptr);

    QString text() const { return text_; }
    void setText(const QString& text, const design::Motion& motion);
    // The old text is still drawn on its way out.
    bool isMorphing() const { return morph_.value() < 1; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paintText(QPainter& painter, const QString& text, double presence);

    QFont font_;
    QColor color_;
    QString text_;
    QString previous_;
    design::AnimatedValue morph_{1.0};
};

} // namespace bw::workspace
