#pragma once

#include <QColor>

// The fixed dark colour set. Each colour is made once, on first use, and shared.
namespace bw::design::palette {

const QColor& canvas();
const QColor& menuSurface();
const QColor& tileSurface();
const QColor& dropZoneSurface();
const QColor& hairline();
const QColor& textPrimary();
const QColor& textSecondary();
const QColor& textTertiary();
const QColor& iconBackdrop();
const QColor& iconPlaceholder(); // always the colour of tileSurface()
const QColor& iconGlyph();       // always the colour of textPrimary()
const QColor& runwayTrack();
const QColor& sidebarSurface();
const QColor& rowFillStrong(); // white at 0.075
const QColor& rowFillSoft();   // white at 0.045
const QColor& accent();
const QColor& success();
const QColor& successSurface();
const QColor& danger();
const QColor& dangerSurface();
const QColor& warning();
const QColor& info();
const QColor& windowBackground();

// `color` with its opacity multiplied by `opacity` ("accent at 0.5").
QColor withOpacity(const QColor& color, qreal opacity);

} // namespace bw::design::palette
