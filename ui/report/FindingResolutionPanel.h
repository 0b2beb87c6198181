#pragma once

#include "model/Finding.h"
#include "ui/design/Motion.h"

#include <QAbstractButton>

namespace bw::design {
class CollapsingBox;
}

namespace bw {
class Clock;
}

namespace bw::report {

class Pasteboard;

// The "Technical details" disclosure: its label and a chevron that turns while open.
class TechnicalDetailsToggle : public QAbstractButton {
    Q_OBJECT
public:
    explicit TechnicalDetailsToggle(QWidget* parent = nullptr);

    void setOpen(bool open, const design::Motion& motion);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    design::AnimatedValue turn_{0.0};
};

// A finding's guided resolution under its row: what was found with its evidence, the action
// with numbered steps and the copy of its fix instructions, and the technical details, closed
// until asked for.
class FindingResolutionPanel : public QWidget {
    Q_OBJECT
public:
    FindingResolutionPanel(const Finding& finding, const FindingResolution& resolution,
                           Clock& clock, const Pasteboard& pasteboard, QWidget* parent = nullptr);

    bool showsTechnicalDetails() const { return showsTechnicalDetails_; }
    void toggleTechnicalDetails();

private:
    QWidget* findingSection(const Finding& finding);
    QWidget* resolutionSection(const Finding& finding, const FindingResolution& resolution,
                               Clock& clock, const Pasteboard& pasteboard);
    QWidget* technicalDetails(const Finding& finding);

    bool showsTechnicalDetails_ = false;
    TechnicalDetailsToggle* toggle_ = nullptr;
    design::CollapsingBox* details_ = nullptr;
};

} // namespace bw::report
