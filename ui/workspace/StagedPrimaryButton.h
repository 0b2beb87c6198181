#pragma once

#include "ui/design/HoverButton.h"

namespace bw::workspace {

// The filled accent capsule of the staged build screen's main actions ("Scan build", "Try
// again", "Check for updates"), with the lifting plane mark or a symbol before its title.
class StagedPrimaryButton : public design::HoverButton {
    Q_OBJECT

public:
    // `systemImage` is shown only when `showsPlane` is false.
    StagedPrimaryButton(const QString& title, const QString& systemImage, bool showsPlane,
                        QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void liftPlane(bool hovering);
    qreal contentWidth() const;
    void paintPlane(QPainter& painter, QPointF origin) const;

    QString systemImage_;
    bool showsPlane_;
    design::AnimatedValue plane_{0.0}; // 1 when the plane has lifted off
};

} // namespace bw::workspace
