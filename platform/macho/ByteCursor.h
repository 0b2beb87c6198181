#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace bw::macho {

using Bytes = std::span<const std::byte>;

enum class ByteOrder { little, big };

// True when [offset, offset + length) lies inside a buffer of `size` bytes, without overflow.
constexpr bool fits(uint64_t size, uint64_t offset, uint64_t length) {
    return offset <= size && length <= size - offset;
}

// Reads fixed-size fields in sequence. A read past the end yields zero and marks the cursor
// failed, so a parser can read a whole structure and check once: no path reads outside `bytes`.
class ByteCursor {
public:
    ByteCursor(Bytes bytes, ByteOrder order, uint64_t offset = 0)
        : bytes_(bytes), order_(order), offset_(offset), ok_(offset <= bytes.size()) {}

    uint8_t u8() { return static_cast<uint8_t>(read(1)); }
    uint16_t u16() { return static_cast<uint16_t>(read(2)); }
    uint32_t u32() { return static_cast<uint32_t>(read(4)); }
    int32_t i32() { return static_cast<int32_t>(u32()); }
    uint64_t u64() { return read(8); }
    // A fixed-width name field such as a segment name: up to the first NUL.
    std::string name(size_t width);
    void skip(uint64_t length);

    bool ok() const { return ok_; }
    uint64_t offset() const { return offset_; }

private:
    uint64_t read(size_t width);

    Bytes bytes_;
    ByteOrder order_;
    uint64_t offset_;
    bool ok_;
};

} // namespace bw::macho
