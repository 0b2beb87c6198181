#pragma once

#include "ui/design/BrandShapes.h"
#include "ui/design/Motion.h"

#include <QAbstractButton>
#include <vector>

class QVBoxLayout;

namespace bw::workspace {

class CardScaleEffect;
class ExtensionChip;
class MorphingTitle;

// The start screen's one large button: the runway mark, "Drop your build anywhere", the accepted
// build kinds and the "Choose a build" pill. Clicking anywhere on it opens the open panel.
class DropZoneCard : public QAbstractButton {
    Q_OBJECT

public:
    explicit DropZoneCard(QWidget* parent = nullptr);

    void setRunwayState(design::BerthwatchRunwayState state);
    // A file is dragged over the window: the title invites the release, the kinds light up.
    void setTargeted(bool targeted);
    // While an accepted file launches the card neither reacts to clicks nor to the pointer.
    void setLaunching(bool launching);
    void setCompact(bool compact);

    bool isHovering() const { return hovering_; }
    // How far the card reaches above its padded box: room for the plane taking off and the glow
    // around it. Its owner lets the card overlap that much of what lies above.
    int overhang() const { return overhang_; }
    design::BerthwatchRunwayMark* runway() const { return runway_; }
    QString title() const;

signals:
    void hoveringChanged(bool hovering);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool hitButton(const QPoint& pos) const override;
    void leaveEvent(QEvent* event) override;

private:
    void setHovering(bool hovering);
    void showScale(double scale);

    QVBoxLayout* layout_;
    design::BerthwatchRunwayMark* runway_;
    MorphingTitle* title_;
    std::vector<ExtensionChip*> chips_;
    QWidget* pill_;
    // Room above the runway's box that its drawing reaches into.
    static constexpr int runwayHeadroom = 36;
    int overhang_ = 0;
    bool hovering_ = false;
    bool launching_ = false;
    design::AnimatedValue scale_{1.0};
    CardScaleEffect* scaleEffect_ = nullptr;
};

} // namespace bw::workspace
