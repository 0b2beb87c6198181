#pragma once

#include <QString>

namespace bw::workspace {

// The monogram of a staged app: the first characters of its first two space-separated words,
// upper-cased; "A" when the name has no word.
QString appInitials(const QString& name);

} // namespace bw::workspace
