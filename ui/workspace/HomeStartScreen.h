#pragma once

#include "ui/design/BrandShapes.h"
#include "ui/design/Motion.h"

#include <QColor>
#include <QWidget>

class QSpacerItem;
class QVBoxLayout;

namespace bw {
class AppModel;
}

namespace bw::workspace {

class DropZoneCard;
class FileChooser;
class LiftedColumn;
class RejectionNotice;
class ShakeHost;

// What the scan section shows while no build is staged: the headline, the drop-zone card that
// opens the open panel, the notice of a refused file and the on-device line, over a backdrop and
// a glow that lights up while a file is dragged over the window, while a build launches and
// while a refusal shows. It hands chosen files to the model: refused kinds at once, accepted ones
// after a short launch.
class HomeStartScreen : public QWidget {
    Q_OBJECT

public:
    HomeStartScreen(AppModel& model, FileChooser& chooser, QWidget* parent = nullptr);

    design::BerthwatchRunwayState runwayState() const;
    bool isCompact() const { return compact_; }

    // The drop-zone card's action: the open panel, then openBuild with the chosen item.
    void chooseBuild();
    // Refused kinds go to the model at once; an accepted one launches and is imported after
    // 0.36 s (0.09 s with reduce motion). A second accepted file during a launch is ignored.
    void openBuild(const QString& path);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* makeHero();
    void setCompact(bool compact);
    void followModel();
    void reactToRejection();
    void reactToDropTarget();
    void paintBackdrop(QPainter& painter);
    void paintDropGlow(QPainter& painter);

    AppModel& model_;
    FileChooser& chooser_;
    DropZoneCard* card_;
    ShakeHost* cardHost_;
    RejectionNotice* notice_;
    QVBoxLayout* column_;
    LiftedColumn* middle_;
    QVBoxLayout* cardStack_;
    QSpacerItem* topSpace_;
    QSpacerItem* bottomSpace_;
    QSpacerItem* footSpace_;
    bool compact_ = false;
    QColor glowTint_;
    design::AnimatedValue glow_{0.0};
    design::AnimatedValue backdropTarget_{0.0};
    design::AnimatedValue shake_{0.0};
};

// Takes the import notice away: the rejection first, then the message.
void clearImportNotice(AppModel& model);

} // namespace bw::workspace
