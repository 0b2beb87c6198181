#include "ui/workspace/AppInitials.h"

#include <QStringList>
#include <QTextBoundaryFinder>

namespace bw::workspace {

namespace {

// The first user-perceived character, so that an accented letter or an emoji stays whole.
QString firstCharacter(const QString& word) {
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, word);
    const qsizetype end = finder.toNextBoundary();
    return word.left(end > 0 ? end : word.size());
}

} // namespace

QString appInitials(const QString& name) {
    // Only U+0020 separates words: a tab or line break is part of a word.
    const QStringList words = name.split(u' ', Qt::SkipEmptyParts);
    QString initials;
    for (qsizetype i = 0; i < std::min<qsizetype>(words.size(), 2); ++i) {
        initials += firstCharacter(words[i]);
    }
    return initials.isEmpty() ? QStringLiteral("A") : initials.toUpper();
}

} // namespace bw::workspace
