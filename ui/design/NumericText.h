#pragma once

#include "ui/design/Motion.h"

#include <QColor>
#include <QObject>
#include <QString>
#include <optional>

class QPainter;
class QRectF;

namespace bw::design {

// A number's text that rolls to a new value the way a count goes up: the characters that change
// rise and fade out while their successors rise into place from below; those that stay, matched
// from the end, stand still. Under reduce motion the change cross-fades where it stands. The
// owner paints it with its own font and pen and repaints on `changed`.
class NumericText : public QObject {
    Q_OBJECT
public:
    explicit NumericText(QString text = {}, QObject* parent = nullptr);

    const QString& text() const { return text_; }
    bool isRolling() const { return roll_.isRunning(); }
    // Shows `text`, rolling to it with `motion` when it differs (an instant motion jumps).
    void setText(const QString& text, const Motion& motion);

    // Draws the text in `rect` with the painter's font and pen, aligned as a one-line text. The
    // text it rolls from keeps `previousColor` when given, for a number whose colour depends on
    // its value; characters that stand still pass from that colour to the pen's.
    void paint(QPainter& painter, const QRectF& rect, Qt::Alignment alignment,
               const std::optional<QColor>& previousColor = {}) const;

signals:
    void changed();

private:
    QString text_;
    QString previous_;
    AnimatedValue roll_{1.0};
};

} // namespace bw::design
