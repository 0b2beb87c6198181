#include "platform/zip/ExtendedTimestamp.h"

namespace bw::zip {

std::optional<std::int64_t> extendedModificationTime(zip_t* archive, zip_uint64_t index) {
    constexpr zip_uint16_t extendedTimestampId = 0x5455;
    zip_uint16_t length = 0;
    const zip_uint8_t* field = zip_file_extra_field_get_by_id(archive, index, extendedTimestampId,
                                                              0, &length, ZIP_FL_CENTRAL);
    if (field == nullptr || length < 5 || (field[0] & 0x01) == 0) {
        return std::nullopt;
    }
    const std::uint32_t raw = std::uint32_t(field[1]) | std::uint32_t(field[2]) << 8 |
                              std::uint32_t(field[3]) << 16 | std::uint32_t(field[4]) << 24;
    return std::int64_t(std::int32_t(raw));
}

} // namespace bw::zip
