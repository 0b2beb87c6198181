#pragma once

#include "platform/zip/UniqueFd.h"

#include <filesystem>
#include <functional>
#include <vector>
#include <zip.h>

namespace bw::zip {

class Archive;
struct PlannedEntry;

// Reads entries' data straight from the archive file with pread, so that every extraction
// thread shares one descriptor and one reading of the central directory instead of opening a
// libzip handle each, whose copy of the directory grows with the number of entries. It reads
// stored and deflated entries without encryption, and only once the central directory it finds
// agrees entry for entry with libzip's reading of it; libzip reads everything else.
class DirectReader {
public:
    DirectReader(const std::filesystem::path& path, const Archive& archive);

    bool canRead(const PlannedEntry& entry) const;

    // Hands each piece of the entry's uncompressed data to `consume`, then checks its CRC.
    // Throws ExtractionError::damagedEntry when the data cannot be read or does not check out.
    void read(const PlannedEntry& entry, std::vector<char>& buffer,
              const std::function<void(const char* data, std::size_t size)>& consume) const;

private:
    UniqueFd fd_;
    zip_uint64_t fileSize_ = 0;
    std::vector<zip_uint64_t> headerOffsets_; // by entry index; empty when libzip reads all
};

} // namespace bw::zip
