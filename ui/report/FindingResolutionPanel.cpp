#include "ui/report/FindingResolutionPanel.h"

#include "model/RawValue.h"
#include "model/ReportHelpers.h"
#include "ui/design/BlockLayout.h"
#include "ui/design/CollapsingBox.h"
#include "ui/design/FocusRing.h"
#include "ui/design/Hairline.h"
#include "ui/design/KeyboardFocus.h"
#include "ui/design/Labels.h"
#include "ui/design/Leading.h"
#include "ui/design/Palette.h"
#include "ui/design/Symbols.h"
#include "ui/report/FindingCopyButton.h"
#include "ui/report/FindingDetailRow.h"
#include "ui/report/FindingEvidenceView.h"
#include "ui/report/FindingResolutionStep.h"
#include "ui/report/ReadingText.h"
#include "ui/report/ReportTexts.h"

#include <QPainter>
#include <QVBoxLayout>

namespace bw::report {
namespace {

// Every motion of this kind is skipped under reduce motion.
const design::MotionKind findingResolutionPanelMotion = design::MotionKind::skipping();

namespace palette = design::palette;
using design::TextStyle;

constexpr int readableWidth = 760;
// Room between the disclosure's edge, where its ring runs, and its label and chevron.
constexpr int toggleInset = 6;

// A column kept to the reading width. Its layout measures its texts at the width they will get:
// the enclosing layout asks with the whole width offered, and wrapped texts measured wider than
// they are laid out would come up short of lines.
class ReadingColumnLayout : public QVBoxLayout {
public:
    using QVBoxLayout::QVBoxLayout;
    int heightForWidth(int width) const override {
        return QVBoxLayout::heightForWidth(std::min(width, readableWidth));
    }
    int minimumHeightForWidth(int width) const override {
        return QVBoxLayout::minimumHeightForWidth(std::min(width, readableWidth));
    }
};

QWidget* column(int spacing, QVBoxLayout*& layout) {
    auto* widget = new QWidget;
    widget->setMaximumWidth(readableWidth);
    layout = new ReadingColumnLayout(widget);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    return widget;
}

} // namespace

TechnicalDetailsToggle::TechnicalDetailsToggle(QWidget* parent) : QAbstractButton(parent) {
    setText(QStringLiteral("Technical details"));
    setAccessibleName(text());
    setAccessibleDescription(QStringLiteral("Show technical finding details"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFixedHeight(28);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    design::activateOnReturn(*this);
    connect(&turn_, &design::AnimatedValue::valueChanged, this, [this] { update(); });
}

void TechnicalDetailsToggle::setOpen(bool open, const design::Motion& motion) {
    setAccessibleDescription(open ? QStringLiteral("Hide technical finding details")
                                  : QStringLiteral("Show technical finding details"));
    turn_.animateTo(open ? 1 : 0, motion);
}

QSize TechnicalDetailsToggle::sizeHint() const {
    const QFontMetrics metrics(design::textStyleFont(TextStyle::label));
    return {toggleInset + metrics.horizontalAdvance(text()) + 8 + 12 + 12 + toggleInset, 28};
}

void TechnicalDetailsToggle::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    design::paintFocusRing(painter, *this, 8);
    // The colour moves with the chevron's turn.
    const QColor color =
        palette::mix(palette::textTertiary(), palette::textSecondary(), turn_.value());
    painter.setFont(design::textStyleFont(TextStyle::label));
    painter.setPen(color);
    const QRect inside = rect().adjusted(toggleInset, 0, -toggleInset, 0);
    design::drawText(painter, inside, Qt::AlignVCenter | Qt::AlignLeft, text());
    const QRectF chevron =
        design::leading(*this, QRectF(inside.right() + 1 - 12, (height() - 12) / 2.0, 12, 12));
    painter.translate(chevron.center());
    painter.rotate(180 * turn_.value());
    painter.translate(-chevron.center());
    design::paintSymbol(painter, chevron, u"chevron.down", 9, QFont::DemiBold, color);
}

FindingResolutionPanel::FindingResolutionPanel(const Finding& finding,
                                               const FindingResolution& resolution, Clock& clock,
                                               const Pasteboard& pasteboard, QWidget* parent)
    : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(25);
    layout->addWidget(findingSection(finding));
    layout->addWidget(resolutionSection(finding, resolution, clock, pasteboard));
    layout->addWidget(technicalDetails(finding));
}

QWidget* FindingResolutionPanel::findingSection(const Finding& finding) {
    QVBoxLayout* layout = nullptr;
    QWidget* section = column(13, layout);
    layout->addWidget(design::makeLabel(QStringLiteral("What we found"), TextStyle::rowTitle,
                                        palette::textPrimary()));
    layout->addWidget(new report::ReadingText(finding.detail, TextStyle::body,
                                              palette::textSecondary(), 2, report::Selection::on));
    layout->addWidget(new FindingEvidenceView(FindingEvidencePresentation(finding)));
    return section;
}

QWidget* FindingResolutionPanel::resolutionSection(const Finding& finding,
                                                   const FindingResolution& resolution,
                                                   Clock& clock, const Pasteboard& pasteboard) {
    QBoxLayout* layout = design::blockLayout(QBoxLayout::TopToBottom, 15);
    QWidget* section = layout->parentWidget();

    QVBoxLayout* heading = nullptr;
    layout->addWidget(column(5, heading));
    heading->addWidget(design::makeLabel(report::sectionTitle(finding.severity),
                                         TextStyle::rowTitle, palette::textPrimary()));
    heading->addWidget(new report::ReadingText(
        resolution.summary, TextStyle::body, palette::textSecondary(), 2, report::Selection::off));

    QVBoxLayout* steps = nullptr;
    layout->addWidget(column(15, steps));
    for (std::size_t i = 0; i < resolution.steps.size(); ++i) {
        const auto& step = resolution.steps[i];
        steps->addWidget(
            new FindingResolutionStep(QString::number(i + 1), step.title, step.instruction));
    }

    auto* copy = new FindingCopyButton(resolution.solutionPrompt,
                                       QStringLiteral("Copy fix instructions"), clock, pasteboard);
    layout->addSpacing(2);
    layout->addWidget(copy, 0, Qt::AlignLeft);
    return section;
}

QWidget* FindingResolutionPanel::technicalDetails(const Finding& finding) {
    QBoxLayout* layout = design::blockLayout(QBoxLayout::TopToBottom, 10);
    QWidget* section = layout->parentWidget();
    layout->addWidget(new design::Hairline(palette::withOpacity(palette::hairline(), 0.66)));
    toggle_ = new TechnicalDetailsToggle;
    connect(toggle_, &QAbstractButton::clicked, this, [this] {
        toggleTechnicalDetails();
        // Opened at the foot of the view, its lines come up into it.
        QWidget* result = showsTechnicalDetails_ ? static_cast<QWidget*>(details_) : toggle_;
        design::revealAfterKeyboardAction(*toggle_, *result);
    });
    layout->addWidget(toggle_);

    QVBoxLayout* lines = nullptr;
    QWidget* rows = column(9, lines);
    lines->addWidget(new FindingTechnicalDetail(QStringLiteral("Guideline"), finding.guideline));
    if (finding.itms) {
        lines->addWidget(new FindingTechnicalDetail(QStringLiteral("ITMS code"), *finding.itms));
    }
    lines->addWidget(
        new FindingTechnicalDetail(QStringLiteral("Source"), rawValue(finding.source)));
    lines->addWidget(
        new FindingTechnicalDetail(QStringLiteral("Category"), title(finding.category)));
    lines->addWidget(new FindingTechnicalDetail(QStringLiteral("Finding ID"), finding.id));
    // Slides in from 3 above its place.
    details_ = new design::CollapsingBox(rows, {.shift = -3});
    layout->addWidget(details_);
    return section;
}

void FindingResolutionPanel::toggleTechnicalDetails() {
    showsTechnicalDetails_ = !showsTechnicalDetails_;
    const auto motion = findingResolutionPanelMotion.spring(0.28);
    toggle_->setOpen(showsTechnicalDetails_, motion);
    details_->setOpen(showsTechnicalDetails_, motion);
}

} // namespace bw::report
