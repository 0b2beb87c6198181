#pragma once

#include <QMargins>
#include <QString>

class QScrollArea;
class QVBoxLayout;
class QWidget;

namespace bw::design {

// What the history, guidelines and settings screens are built from: a scrolling column of
// limited width centred in the screen, a title with its subtitle and centred empty states.

// Puts `scroll` (a bareScrollArea, scrolled by the page keys) over the whole of `screen` and
// `column` in it, at most `maxWidth` wide and centred; returns the column's layout.
QVBoxLayout* placeColumn(QWidget* screen, QScrollArea* scroll, QWidget* column, int maxWidth,
                         const QMargins& margins, int spacing);

QWidget* makeScreenHeader(const QString& title, const QString& subtitle, QWidget* parent);

// A centred block of a symbol or drawing, a title and a message.
QWidget* makeEmptyStateBlock(QWidget* picture, const QString& title, const QString& message,
                             int spacing, QWidget* parent);

} // namespace bw::design
