#include "ui/report/FindingRow.h"

#include "app/AppModel.h"
#include "model/ResolutionGuidance.h"
#include "ui/design/BlockLayout.h"
#include "ui/design/BrandShapes.h"
#include "ui/design/CollapsingBox.h"
#include "ui/design/Hairline.h"
#include "ui/design/KeyboardFocus.h"
#include "ui/design/Palette.h"
#include "ui/report/FindingResolutionPanel.h"
#include "ui/report/FindingRowHeader.h"
#include "ui/report/ReadingText.h"
#include "ui/report/ReportContext.h"

#include <QPainter>
#include <utility>

namespace bw::report {
namespace {

namespace palette = design::palette;

// The row's fill and chevron follow the selection and the pointer even under reduce motion; the
// panel opening beneath it holds still then.
struct FindingRowStyle {
    design::Motion selection = design::MotionKind::keeping().spring(0.34);
    design::Motion panel = design::MotionKind::skipping().spring(0.34);
    design::Motion hover = design::MotionKind::keeping().easeOut(0.14);
};
const FindingRowStyle findingRowStyle;

// The row's fill: 0 clear, 1 hovered, 2 open.
double fillLevel(bool isSelected, bool isHovering) {
    return isSelected ? 2 : (isHovering ? 1 : 0);
}

} // namespace

FindingRow::FindingRow(const Finding& finding, const BuildMetadata& metadata, bool isSelected,
                       const ReportContext& context, int horizontalContentInset, QWidget* parent)
    : ColumnStack(parent), finding_(finding), metadata_(metadata), context_(context),
      inset_(horizontalContentInset),
      header_(new FindingRowHeader(finding, horizontalContentInset)) {
    insert(-1, header_);
    connect(header_, &QAbstractButton::clicked, this, [this] {
        emit toggled();
        // Opened by the keys, the row stays in sight with as much of its panel as the view
        // holds, while an open row above it closes and takes the page up with it.
        QWidget* result = isSelected_ ? static_cast<QWidget*>(this) : header_;
        design::revealAfterKeyboardAction(*header_, *result);
    });
    connect(&fill_, &design::AnimatedValue::valueChanged, this, [this] { update(); });
    setSelected(isSelected);
    fill_.setValue(fillLevel(isSelected_, isHovering_));
}

void FindingRow::setSelected(bool isSelected) {
    if (isSelected == isSelected_ && (panel_ != nullptr) == isSelected) {
        return;
    }
    isSelected_ = isSelected;
    header_->setSelected(isSelected, findingRowStyle.selection);
    fill_.animateTo(fillLevel(isSelected_, isHovering_), findingRowStyle.selection);
    const design::Motion& motion = findingRowStyle.panel;
    // A panel still closing gives way to a new opening at once.
    delete closing_.rule;
    delete closing_.panel;
    if (!isSelected) {
        // Both fade and their height springs shut; the row is collapsed from now on.
        closing_ = std::exchange(open_, {});
        panel_ = nullptr;
        for (design::CollapsingBox* box : {closing_.rule.data(), closing_.panel.data()}) {
            if (box) {
                connect(box, &design::CollapsingBox::closed, box, &QObject::deleteLater);
                box->setOpen(false, motion);
            }
        }
        return;
    }
    // Made anew on every opening, so its technical details always start closed.
    panel_ =
        new FindingResolutionPanel(finding_, resolution_guidance::resolution(finding_, metadata_),
                                   context_.model.clock(), context_.pasteboard);
    panel_->setContentsMargins(inset_, 16, inset_, 20);
    // In a block, which measures the line as one point high.
    QBoxLayout* rule = design::blockLayout(QBoxLayout::TopToBottom, 0);
    rule->addWidget(new design::Hairline(palette::rule(), QMargins(inset_, 0, inset_, 0)));
    // The panel slides in from 4 above its place; the rule only fades.
    open_ = {new design::CollapsingBox(rule->parentWidget(), {}),
             new design::CollapsingBox(panel_, {.shift = -4})};
    for (design::CollapsingBox* box : {open_.rule.data(), open_.panel.data()}) {
        insert(-1, box);
        box->setOpen(true, motion);
    }
}

bool FindingRow::showsPanel() const {
    return open_.panel || closing_.panel;
}

void FindingRow::enterEvent(QEnterEvent* event) {
    setHovering(true);
    QWidget::enterEvent(event);
}

void FindingRow::leaveEvent(QEvent* event) {
    setHovering(false);
    QWidget::leaveEvent(event);
}

void FindingRow::setHovering(bool hovering) {
    if (hovering == isHovering_) {
        return;
    }
    isHovering_ = hovering;
    header_->setHovering(hovering, findingRowStyle.hover);
    fill_.animateTo(fillLevel(isSelected_, isHovering_), findingRowStyle.hover);
}

void FindingRow::paintEvent(QPaintEvent*) {
    const double level = fill_.value();
    // 0 → clear, 1 → white at 0.026, 2 → white at 0.035.
    const double opacity = level <= 1 ? 0.026 * level : 0.026 + 0.009 * (level - 1);
    if (opacity <= 0) {
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(design::continuousRoundedRect(QRectF(rect()), 18),
                     palette::withOpacity(Qt::white, opacity));
}

} // namespace bw::report
