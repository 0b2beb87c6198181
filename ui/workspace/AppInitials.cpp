#include "ui/workspace/AppInitials.h"

#include "model/ReportHelpers.h"

#include <QStringList>

namespace bw::workspace {

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
