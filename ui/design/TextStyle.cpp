#include "ui/design/TextStyle.h"

#include "ui/design/BundledFonts.h"

#include <QWidget>
#include <cmath>

namespace bw::design {

namespace {

constexpr auto regular = QFont::Normal;
constexpr auto medium = QFont::Medium;
constexpr auto semibold = QFont::DemiBold;
constexpr auto standard = FontDesign::standard;
constexpr auto rounded = FontDesign::rounded;
constexpr auto mono = FontDesign::monospaced;

} // namespace

TextMetrics textStyleMetrics(TextStyle style) {
    switch (style) {
    case TextStyle::heroTitle:
        return {36, semibold, standard, -0.72};
    case TextStyle::lead:
        return {15, regular, standard, -0.16};
    case TextStyle::verdictTitle:
        return {30, semibold, rounded, -0.48};
    case TextStyle::screenTitle:
        return {22, semibold, rounded, -0.26};
    case TextStyle::sectionTitle:
        return {17, semibold, rounded, -0.24};
    case TextStyle::semiboldRounded20:
        return {20, semibold, rounded, -0.22};
    case TextStyle::semiboldRounded15:
        return {15, semibold, rounded, -0.16};
    case TextStyle::monogram:
        return {12, semibold, rounded, 0};
    case TextStyle::rowTitle:
        return {15, semibold, standard, -0.16};
    case TextStyle::body:
        return {13, regular, standard, -0.08};
    case TextStyle::bodyEmphasized:
        return {13, medium, standard, -0.08};
    case TextStyle::subtitle:
        return {12, regular, standard, 0};
    case TextStyle::caption:
        return {11, regular, standard, 0.06};
    case TextStyle::label:
        return {11, medium, standard, 0.06};
    case TextStyle::eyebrow:
        return {10, semibold, standard, 0.36};
    case TextStyle::sidebarItem:
        return {13, regular, standard, -0.04};
    case TextStyle::sidebarItemSelected:
        return {13, medium, standard, -0.04};
    case TextStyle::sidebarHeading:
        return {11, medium, standard, 0.12};
    case TextStyle::medium14:
        return {14, medium, standard, 0};
    case TextStyle::monoCaption:
        return {11, regular, mono, 0};
    case TextStyle::monoLabel:
        return {12, medium, mono, 0};
    case TextStyle::mediumMono13:
        return {13, medium, mono, 0};
    case TextStyle::medium12:
        return {12, medium, standard, 0};
    case TextStyle::medium17:
        return {17, medium, standard, 0};
    case TextStyle::medium28:
        return {28, medium, standard, 0};
    case TextStyle::semibold34:
        return {34, semibold, standard, 0};
    case TextStyle::medium40:
        return {40, medium, standard, 0};
    case TextStyle::metricValue:
        return {20, semibold, rounded, -0.28};
    case TextStyle::stagedStatus:
        return {10, semibold, standard, 0};
    case TextStyle::removeLabel:
        return {11, semibold, standard, 0};
    case TextStyle::metadataValue:
        return {11, medium, standard, 0};
    case TextStyle::metadataMonoValue:
        return {11, medium, mono, 0};
    case TextStyle::stepTitleRow:
        return {13, medium, standard, -0.12};
    case TextStyle::stepTitleRowActive:
        return {13, semibold, standard, -0.12};
    case TextStyle::stepTitleColumn:
        return {12, medium, standard, -0.06};
    case TextStyle::stepTitleColumnActive:
        return {12, semibold, standard, -0.06};
    case TextStyle::screenshotCaption:
        return {10, medium, standard, 0};
    case TextStyle::screenshotCaptionDone:
        return {10, semibold, standard, 0};
    case TextStyle::placeholderTitle:
        return {20, semibold, standard, 0};
    case TextStyle::placeholderSubtitle:
        return {11, regular, standard, 0};
    }
    Q_UNREACHABLE();
}

QFont systemFont(qreal pixelSize, QFont::Weight weight, FontDesign design) {
    QFont font;
    // Names come from scanned builds and may hold emoji, which the bundled faces lack: the colour
    // emoji font is asked next, before a face of the machine would draw them plain or as boxes.
    font.setFamilies(
        {design == FontDesign::monospaced ? monospacedFamily() : textFamily(), emojiFamily()});
    // Exact families only: a machine's own fonts never stand in for the bundled ones.
    font.setStyleHint(design == FontDesign::monospaced ? QFont::Monospace : QFont::SansSerif,
                      QFont::PreferMatch);
    font.setPixelSize(qMax(1, qRound(pixelSize)));
    font.setWeight(weight);
    font.setKerning(true);
    return font;
}

namespace {

void setTracking(QFont& font, qreal tracking) {
    // Qt keeps spacing in 64ths of a pixel, cutting toward zero; hand it the nearest 64th instead.
    font.setLetterSpacing(QFont::AbsoluteSpacing, std::round(tracking * 64) / 64);
}

} // namespace

QFont textStyleFont(TextStyle style) {
    const TextMetrics metrics = textStyleMetrics(style);
    QFont font = systemFont(metrics.pixelSize, metrics.weight, metrics.design);
    setTracking(font, metrics.tracking);
    return font;
}

QFont textStyleFont(TextStyle style, qreal pixelSize) {
    const TextMetrics metrics = textStyleMetrics(style);
    QFont font = systemFont(pixelSize, metrics.weight, metrics.design);
    // An untracked fitted text keeps the face's own spacing, which Qt lays out apart from an
    // explicit zero.
    if (metrics.tracking != 0) {
        setTracking(font, metrics.tracking);
    }
    return font;
}

void applyTextStyle(QWidget* widget, TextStyle style) {
    widget->setFont(textStyleFont(style));
}

} // namespace bw::design
