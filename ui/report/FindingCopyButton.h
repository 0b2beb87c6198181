#pragma once

#include "ui/design/HoverButton.h"

namespace bw {
class Clock;
}

namespace bw::report {

class Pasteboard;

// A pill that copies a prepared text and confirms it in place: green, a check mark and "Copied"
// for a moment after each copy that really reached the clipboard. Only the latest copy's timer
// ends the confirmation.
class FindingCopyButton : public design::HoverButton {
    Q_OBJECT
public:
    FindingCopyButton(QString text, QString label, Clock& clock, const Pasteboard& pasteboard,
                      QWidget* parent = nullptr);

    bool didCopy() const { return didCopy_; }
    // What the button reads now: the caption, or "Copied".
    QString shownText() const;
    // The pill's fill now, on its way between the normal and the confirming one.
    QColor fillColor() const;

    QSize sizeHint() const override { return {188, 34}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    void copyToPasteboard();
    void setDidCopy(bool didCopy, const design::Motion& motion);
    void paintContent(QPainter& painter, const QString& symbol, const QString& caption,
                      const QColor& color, qreal presence) const;

    QString text_;
    QString label_;
    Clock& clock_;
    const Pasteboard& pasteboard_;
    bool didCopy_ = false;
    qint64 copyGeneration_ = 0;
    design::AnimatedValue copied_{0.0};
};

} // namespace bw::report
