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
const QColor& accent();
const QColor& success();
const QColor& successSurface();
const QColor& danger();
const QColor& dangerSurface();
const QColor& warning();
const QColor& info();
const QColor& rowFillStrong();    // white at 0.075: the selected sidebar row
const QColor& rowFillSoft();      // white at 0.045: the sidebar row under the pointer
const QColor& windowBackground(); // always the colour of canvas(): the window's own background

// Colours named by what they paint.
const QColor& hoverFill();        // rowFillSoft, for any other row or button under the pointer
const QColor& separator();        // hairline at 0.62: between the rows of a list
const QColor& focusRing();        // accent at 0.8: around the control that has the keyboard
const QColor& rule();             // hairline at 0.72: under a section, and between its parts
const QColor& trackLine();        // hairline at 0.9: the lane a small progress mark moves along
const QColor& cardHoverFill();    // white at 0.036: a large rounded row under the pointer
const QColor& capsuleFill();      // white at 0.06: a plain capsule button at rest
const QColor& capsuleHoverFill(); // white at 0.1: the same under the pointer
const QColor& menuSeparator();    // white at 0.075: between the groups of a menu

// `color` with its opacity multiplied by `opacity` ("accent at 0.5").
QColor withOpacity(const QColor& color, qreal opacity);

// `from` moved towards `to` by `t`, alpha included: the colour of a change under way. Drawn over
// any background it shows a colour between what the two ends show there. `t` is held within
// 0...1, so a spring's overshoot or undershoot never yields a channel out of range.
QColor mix(const QColor& from, const QColor& to, qreal t);

} // namespace bw::design::palette
