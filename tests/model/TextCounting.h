#pragma once

#include <QString>
#include <QTextBoundaryFinder>

// User-perceived characters (grapheme clusters), the unit that text lengths are stated in.
inline qsizetype graphemeCount(const QString& text) {
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype count = 0;
    while (finder.toNextBoundary() != -1) {
        ++count;
    }
    return count;
}
