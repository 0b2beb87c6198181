#pragma once

#include <QFont>
#include <cstdint>

class QWidget;

namespace bw::design {

// The closed set of text roles; every text of the window takes its font from one of them.
enum class TextStyle : std::uint8_t {
    heroTitle,
    lead,
    verdictTitle,
    screenTitle,
    sectionTitle,
    semiboldRounded20,
    semiboldRounded15,
    monogram,
    rowTitle,
    body,
    bodyEmphasized,
    subtitle,
    caption,
    label,
    eyebrow,
    sidebarItem,
    sidebarItemSelected,
    sidebarHeading,
    medium14,
    monoCaption,
    monoLabel,
    mediumMono13,
    medium12, // symbols set beside captions and chips
    medium17,
    medium28,
    semibold34,
    medium40,
    // The kit's own roles, after the scale every screen shares.
    metricValue,
    stagedStatus,
    removeLabel,
    metadataValue,
    metadataMonoValue,
    stepTitleRow,
    stepTitleRowActive,
    stepTitleColumn,
    stepTitleColumnActive,
    // Texts that shrink to fit their space: drawn at a size of their own with the role's face.
    screenshotCaption,
    screenshotCaptionDone,
    placeholderTitle,
    placeholderSubtitle, // the last role
};

// Rounded text is drawn with the default family; the design is kept so callers can tell them apart.
enum class FontDesign : std::uint8_t { standard, rounded, monospaced };

struct TextMetrics {
    int pixelSize;
    QFont::Weight weight;
    FontDesign design;
    qreal tracking; // pixels added between characters; negative tightens
};

TextMetrics textStyleMetrics(TextStyle style);

// The bundled face of a design at a size and weight, with no tracking: for painters and for the
// few texts the screens size themselves.
QFont systemFont(qreal pixelSize, QFont::Weight weight, FontDesign design = FontDesign::standard);

// The role's font with its tracking; custom painters draw with this.
QFont textStyleFont(TextStyle style);
// The same at `pixelSize`, for a text that shrinks to fit its space before it truncates.
QFont textStyleFont(TextStyle style, qreal pixelSize);

// Sets the role's font on a widget that shows text, or on a container: children that set no font
// of their own inherit it. Changes nothing else (no colour, no case).
void applyTextStyle(QWidget* widget, TextStyle style);

} // namespace bw::design
