#pragma once

#include <QByteArray>
#include <cstdint>
#include <optional>

namespace bw::image {

// A big-endian 32-bit number at `offset`, or absent when the bytes end before it.
inline std::optional<uint32_t> readBigEndian32(const QByteArray& bytes, qsizetype offset) {
    if (offset < 0 || offset > bytes.size() - 4) {
        return std::nullopt;
    }
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData() + offset);
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

} // namespace bw::image
