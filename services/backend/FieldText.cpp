#include "services/backend/FieldText.h"

#include <QTextBoundaryFinder>

namespace bw {

QString clipped(const QString& text, qsizetype maxLength) {
    // A text has at least as many code units as characters.
    if (text.size() <= maxLength) {
        return text;
    }
    QTextBoundaryFinder boundaries(QTextBoundaryFinder::Grapheme, text);
    qsizetype end = 0;
    for (qsizetype count = 0; count < maxLength; ++count) {
        const qsizetype next = boundaries.toNextBoundary();
        if (next < 0) {
            return text;
        }
        end = next;
    }
    return text.left(end);
}

QString sanitizedField(const QString& value, qsizetype maxLength, const QString& fallback) {
    const QString trimmed = value.trimmed();
    return trimmed.isEmpty() ? fallback : clipped(trimmed, maxLength);
}

} // namespace bw
