#pragma once

#include "model/Finding.h"
#include "ui/design/Motion.h"

#include <QAbstractButton>

namespace bw::report {

// The clickable header of a finding row, painted in one pass: the severity line, the title
// (wrapped, never cut), the meta line and the disclosure chevron. Its whole padded rectangle is
// the click target. Its height is known without building it, so a long list can place rows it
// has not made yet.
class FindingRowHeader : public QAbstractButton {
    Q_OBJECT
public:
    FindingRowHeader(const Finding& finding, int horizontalInset, QWidget* parent = nullptr);

    static int heightFor(const Finding& finding, int width, int horizontalInset);

    void setSelected(bool selected, const design::Motion& motion);
    // The category symbol brightens under the pointer with `motion`.
    void setHovering(bool hovering, const design::Motion& motion);

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Finding finding_;
    int inset_;
    design::AnimatedValue hover_{0.0};
    design::AnimatedValue turn_{0.0};
};

} // namespace bw::report
