#pragma once

#include <QMargins>
#include <QString>
#include <cstdint>

class QColor;
class QLabel;
class QScrollArea;
class QVBoxLayout;
class QWidget;

namespace bw::design {
enum class TextStyle : std::uint8_t;
}

namespace bw::report {

// What every list screen is built from: a scrolling column of limited width centred in the
// screen, a title with its subtitle, hairline dividers and centred empty states.

QLabel* makeLabel(const QString& text, design::TextStyle style, const QColor& color,
                  QWidget* parent);

// Puts `scroll` (indicators hidden) over the whole of `screen` and `column` in it, at most
// `maxWidth` wide and centred; returns the column's layout.
QVBoxLayout* placeColumn(QWidget* screen, QScrollArea* scroll, QWidget* column, int maxWidth,
                         const QMargins& margins, int spacing);

QWidget* makeScreenHeader(const QString& title, const QString& subtitle, QWidget* parent);

// A hairline, inset on the left and right, with room above and below.
QWidget* makeDivider(int left, int right, int vertical, QWidget* parent);

// A centred block of a symbol or drawing, a title and a message.
QWidget* makeEmptyStateBlock(QWidget* picture, const QString& title, const QString& message,
                             int spacing, QWidget* parent);

// The entrance of a screen's column: it fades in and rises 6 points as `value` goes to 1.
void applyFadeAndRise(QWidget* column, double value, const QMargins& margins);

} // namespace bw::report
