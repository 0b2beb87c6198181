#pragma once

#include <QString>
#include <cstdint>

namespace bw::design {

// A size in the file style: decimal units, "Zero KB", "1 byte", "N bytes" below 1 KB, then KB with
// no decimals, MB with one, GB and above with two, trailing zeros dropped ("1.5 MB", "2.25 GB").
// Separators follow the default locale.
QString fileByteCount(std::uint64_t bytes);

} // namespace bw::design
