#pragma once

#include <QString>

namespace bw {

// The first `maxLength` user-perceived characters (extended grapheme clusters) of `text`, or the
// whole text when it is shorter.
QString clipped(const QString& text, qsizetype maxLength);

// `value` trimmed of white space and line breaks at both ends; `fallback` when nothing is left,
// else the trimmed text clipped to `maxLength` characters.
QString sanitizedField(const QString& value, qsizetype maxLength, const QString& fallback);

} // namespace bw
