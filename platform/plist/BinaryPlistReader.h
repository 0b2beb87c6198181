#pragma once

#include "platform/plist/PlistValue.h"

#include <QByteArray>
#include <optional>

namespace bw::plist {

// Reads the binary property-list format ("bplist00") with bounds checks on every offset, object
// reference cycles refused, and the number of values decoded limited, so that a crafted file can
// neither crash us nor expand without bound. (libplist's own reader aborts on some crafted texts.)
std::optional<PlistValue> readBinaryPlist(const QByteArray& bytes);

} // namespace bw::plist
