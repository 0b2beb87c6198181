#include "platform/zip/CentralDirectory.h"

#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace bw::zip {

namespace {

constexpr std::size_t endRecordSize = 22;
constexpr std::size_t zip64LocatorSize = 20;
constexpr std::size_t zip64EndRecordSize = 56;
constexpr std::size_t maximumCommentSize = 0xFFFF;

} // namespace

std::uint64_t little(const unsigned char* bytes, int size) {
    std::uint64_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
        value = value << 8 | bytes[i];
    }
    return value;
}

bool readAt(int fd, std::uint64_t offset, void* into, std::size_t size) {
    auto* out = static_cast<char*>(into);
    while (size > 0) {
        const ssize_t got = ::pread(fd, out, size, off_t(offset));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return false;
        }
        out += got;
        offset += std::uint64_t(got);
        size -= std::size_t(got);
    }
    return true;
}

std::optional<CentralDirectory> findCentralDirectory(int fd, std::uint64_t fileSize) {
    const std::size_t tailSize =
        std::size_t(std::min<std::uint64_t>(fileSize, endRecordSize + maximumCommentSize));
    std::vector<unsigned char> tail(tailSize);
    const std::uint64_t tailStart = fileSize - tailSize;
    if (tailSize < endRecordSize || !readAt(fd, tailStart, tail.data(), tailSize)) {
        return std::nullopt;
    }
    for (std::size_t at = tailSize - endRecordSize + 1; at-- > 0;) {
        const unsigned char* record = tail.data() + at;
        if (little(record, 4) != 0x06054b50 ||
            at + endRecordSize + little(record + 20, 2) != tailSize) {
            continue;
        }
        CentralDirectory directory{little(record + 16, 4), little(record + 12, 4),
                                   little(record + 10, 2)};
        if (directory.offset != 0xFFFFFFFF && directory.size != 0xFFFFFFFF &&
            directory.entries != 0xFFFF) {
            return directory;
        }
        unsigned char locator[zip64LocatorSize];
        unsigned char end[zip64EndRecordSize];
        const std::uint64_t recordOffset = tailStart + at;
        if (recordOffset < zip64LocatorSize ||
            !readAt(fd, recordOffset - zip64LocatorSize, locator, sizeof locator) ||
            little(locator, 4) != 0x07064b50 ||
            !readAt(fd, little(locator + 8, 8), end, sizeof end) || little(end, 4) != 0x06064b50) {
            return std::nullopt;
        }
        return CentralDirectory{little(end + 48, 8), little(end + 40, 8), little(end + 32, 8)};
    }
    return std::nullopt;
}

std::optional<std::vector<unsigned char>> readCentralDirectory(int fd, std::uint64_t fileSize,
                                                               const CentralDirectory& directory) {
    if (directory.size > fileSize || directory.offset > fileSize - directory.size) {
        return std::nullopt;
    }
    std::vector<unsigned char> bytes(directory.size);
    if (!readAt(fd, directory.offset, bytes.data(), bytes.size())) {
        return std::nullopt;
    }
    return bytes;
}

RecordSizes recordSizes(const unsigned char* record) {
    const std::size_t nameSize = little(record + 28, 2);
    const std::size_t extraSize = little(record + 30, 2);
    // Values too large for their field are in the zip64 extra field, in this order.
    std::uint64_t fields[] = {little(record + 24, 4), little(record + 20, 4),
                              little(record + 42, 4)};
    const unsigned char* extra = record + centralRecordSize + nameSize;
    for (std::size_t e = 0; e + 4 <= extraSize;) {
        const std::size_t size = little(extra + e + 2, 2);
        if (little(extra + e, 2) == 0x0001) {
            std::size_t next = e + 4;
            for (std::uint64_t& field : fields) {
                if (field == 0xFFFFFFFF && next + 8 <= std::min(e + 4 + size, extraSize)) {
                    field = little(extra + next, 8);
                    next += 8;
                }
            }
        }
        e += 4 + size;
    }
    return {fields[0], fields[1], fields[2]};
}

std::vector<std::string> storedEntryNames(int fd, std::uint64_t fileSize) {
    const std::optional<CentralDirectory> directory = findCentralDirectory(fd, fileSize);
    const std::optional<std::vector<unsigned char>> bytes =
        directory ? readCentralDirectory(fd, fileSize, *directory) : std::nullopt;
    if (!bytes) {
        return {};
    }
    std::vector<std::string> names;
    for (std::size_t at = 0; names.size() < directory->entries;) {
        const unsigned char* record = bytes->data() + at;
        if (bytes->size() - at < centralRecordSize || little(record, 4) != 0x02014b50) {
            return {};
        }
        const std::size_t nameSize = little(record + 28, 2);
        const std::size_t recordSize =
            centralRecordSize + nameSize + little(record + 30, 2) + little(record + 32, 2);
        if (bytes->size() - at < recordSize) {
            return {};
        }
        names.emplace_back(reinterpret_cast<const char*>(record) + centralRecordSize, nameSize);
        at += recordSize;
    }
    return names;
}

} // namespace bw::zip
