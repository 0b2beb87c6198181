#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace bw::zip {

// Reading the archive's own central directory, beside libzip's reading of it.

// A little-endian number of `size` bytes.
std::uint64_t little(const unsigned char* bytes, int size);

// Reads exactly `size` bytes at `offset`, or returns false.
bool readAt(int fd, std::uint64_t offset, void* into, std::size_t size);

struct CentralDirectory {
    std::uint64_t offset;
    std::uint64_t size;
    std::uint64_t entries;
};

inline constexpr std::size_t centralRecordSize = 46;

// A central directory record's uncompressed size, compressed size and local header offset, each
// taken from the zip64 extra field when too large for its own.
struct RecordSizes {
    std::uint64_t size;
    std::uint64_t compressedSize;
    std::uint64_t headerOffset;
};
RecordSizes recordSizes(const unsigned char* record);

// The last end-of-central-directory record whose comment reaches exactly to the end of the
// file, and its zip64 counterpart when it defers to one.
std::optional<CentralDirectory> findCentralDirectory(int fd, std::uint64_t fileSize);

// The directory's bytes, when it lies inside the file and can be read.
std::optional<std::vector<unsigned char>> readCentralDirectory(int fd, std::uint64_t fileSize,
                                                               const CentralDirectory& directory);

// Every entry name with the length the directory stores for it. libzip hands names over as C
// strings, with any NUL byte turned into a space, so only these tell a name that holds one.
// Empty when the directory cannot be found or read.
std::vector<std::string> storedEntryNames(int fd, std::uint64_t fileSize);

} // namespace bw::zip
