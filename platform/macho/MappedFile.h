#pragma once

#include "platform/macho/ByteCursor.h"
#include "platform/macho/Result.h"

#include <string>

namespace bw::macho {

// A read-only memory map of a whole file; large binaries are read without copying. Moving keeps
// the mapping at the same address, so views into `bytes()` stay valid.
class MappedFile {
public:
    static Result<MappedFile> open(const std::string& path);

    MappedFile() = default;
    MappedFile(MappedFile&& other) noexcept;
    MappedFile& operator=(MappedFile&& other) noexcept;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    ~MappedFile();

    Bytes bytes() const { return {data_, size_}; }

private:
    MappedFile(const std::byte* data, size_t size) : data_(data), size_(size) {}
    void unmap();

    const std::byte* data_ = nullptr;
    size_t size_ = 0;
};

} // namespace bw::macho
