#pragma once

#include <QString>

namespace bw {

// Plain text order: character by character on Unicode scalar values, case-sensitive, not
// locale-aware. (UTF-16 code-unit order differs from it for characters above U+FFFF.)
bool scalarLess(const QString& lhs, const QString& rhs);

} // namespace bw
