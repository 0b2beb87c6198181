#include "platform/macho/ByteCursor.h"

namespace bw::macho {

uint64_t ByteCursor::read(size_t width) {
    if (!ok_ || !fits(bytes_.size(), offset_, width)) {
        ok_ = false;
        return 0;
    }
    uint64_t value = 0;
    for (size_t i = 0; i < width; ++i) {
        const auto byte = static_cast<uint64_t>(bytes_[offset_ + i]);
        value |= order_ == ByteOrder::little ? byte << (8 * i) : byte << (8 * (width - 1 - i));
    }
    offset_ += width;
    return value;
}

std::string ByteCursor::name(size_t width) {
    if (!ok_ || !fits(bytes_.size(), offset_, width)) {
        ok_ = false;
        return {};
    }
    std::string text;
    for (size_t i = 0; i < width; ++i) {
        const auto c = static_cast<char>(bytes_[offset_ + i]);
        if (c == '\0') {
            break;
        }
        text.push_back(c);
    }
    offset_ += width;
    return text;
}

void ByteCursor::skip(uint64_t length) {
    if (!ok_ || !fits(bytes_.size(), offset_, length)) {
        ok_ = false;
        return;
    }
    offset_ += length;
}

} // namespace bw::macho
