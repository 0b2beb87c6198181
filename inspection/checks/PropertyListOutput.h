#pragma once

#include "platform/plist/PlistValue.h"

#include <QString>
#include <optional>

namespace bw::checks {

// The dictionary property list that a tool printed, cut out of its other output.
std::optional<plist::PlistDictionary> propertyList(const QString& commandOutput);

} // namespace bw::checks
