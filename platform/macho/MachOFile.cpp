#include "platform/macho/MachOFile.h"

#include "platform/macho/Architecture.h"
#include "platform/macho/Constants.h"

#include <algorithm>
#include <utility>

namespace bw::macho {
namespace {

using namespace constants;

std::string sliceLabel(const Slice& slice) {
    return "slice for " + slice.architecture();
}

Result<Slice> readFatArch(Bytes bytes, uint64_t entryOffset, bool fat64) {
    ByteCursor cursor(bytes, ByteOrder::big, entryOffset);
    Slice slice;
    slice.cpuType = cursor.i32();
    slice.cpuSubtype = cursor.i32();
    slice.offset = fat64 ? cursor.u64() : cursor.u32();
    slice.size = fat64 ? cursor.u64() : cursor.u32();
    slice.alignment = cursor.u32();
    if (!cursor.ok()) {
        return truncated("fat_arch extends past the end of the file");
    }
    if (slice.alignment > maxSliceAlignment) {
        return malformed(sliceLabel(slice) + ": alignment 2^" + std::to_string(slice.alignment) +
                         " is too large");
    }
    if (slice.offset % (uint64_t{1} << slice.alignment) != 0) {
        return malformed(sliceLabel(slice) + ": offset " + std::to_string(slice.offset) +
                         " is not aligned to 2^" + std::to_string(slice.alignment));
    }
    if (!fits(bytes.size(), slice.offset, slice.size)) {
        return truncated(sliceLabel(slice) + ": offset plus size extends past the end of the file");
    }
    return slice;
}

Result<MachOImage> readSliceImage(Bytes bytes, const Slice& slice) {
    Result<MachOImage> image = parseImage(bytes.subspan(slice.offset, slice.size));
    if (!image) {
        if (image.error().kind == MachOError::Kind::notObjectFile) {
            return malformed(sliceLabel(slice) + " does not hold a Mach-O image");
        }
        return image.error();
    }
    if (image->header.cpuType != slice.cpuType ||
        ((image->header.cpuSubtype ^ slice.cpuSubtype) & ~cpuSubtypeMask) != 0) {
        return malformed(sliceLabel(slice) + " holds an image for " + image->architecture());
    }
    return image;
}

// Slices must not overlap each other; checked on a copy sorted by offset.
std::optional<MachOError> checkOverlaps(const std::vector<Slice>& slices) {
    std::vector<const Slice*> sorted;
    sorted.reserve(slices.size());
    for (const Slice& slice : slices) {
        sorted.push_back(&slice);
    }
    std::ranges::sort(sorted, {}, &Slice::offset);
    for (size_t i = 1; i < sorted.size(); ++i) {
        if (sorted[i - 1]->offset + sorted[i - 1]->size > sorted[i]->offset) {
            return malformed(sliceLabel(*sorted[i]) + " overlaps " + sliceLabel(*sorted[i - 1]));
        }
    }
    return std::nullopt;
}

// Two slices for one architecture make the file ambiguous. Sorted, so that a header with very
// many entries stays cheap.
std::optional<MachOError> checkDuplicates(const std::vector<Slice>& slices) {
    std::vector<std::pair<int32_t, uint32_t>> keys;
    keys.reserve(slices.size());
    for (const Slice& slice : slices) {
        keys.emplace_back(slice.cpuType, static_cast<uint32_t>(slice.cpuSubtype) & ~cpuSubtypeMask);
    }
    std::ranges::sort(keys);
    const auto repeated = std::ranges::adjacent_find(keys);
    if (repeated == keys.end()) {
        return std::nullopt;
    }
    return malformed("contains two slices for " +
                     architectureName(repeated->first, static_cast<int32_t>(repeated->second)));
}

Result<MachOFile> readUniversal(Bytes bytes, bool fat64) {
    if (bytes.size() < fatHeaderSize) {
        return truncated("fat header extends past the end of the file");
    }
    const uint32_t count = ByteCursor(bytes, ByteOrder::big, 4).u32();
    const uint64_t entrySize = fat64 ? fatArch64Size : fatArchSize;
    const uint64_t headerEnd = fatHeaderSize + uint64_t{count} * entrySize;
    if (headerEnd > bytes.size()) {
        return truncated("fat_arch structs (nfat_arch " + std::to_string(count) +
                         ") extend past the end of the file");
    }
    if (count == 0) {
        return malformed("universal file contains no architectures");
    }
    MachOFile file;
    file.container = fat64 ? MachOFile::Container::fat64 : MachOFile::Container::fat;
    file.slices.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        BW_TRY(slice, readFatArch(bytes, fatHeaderSize + i * entrySize, fat64));
        if (slice->offset < headerEnd) {
            return malformed(sliceLabel(*slice) + " overlaps the universal headers");
        }
        file.slices.push_back(std::move(slice).value());
    }
    if (std::optional<MachOError> error = checkOverlaps(file.slices)) {
        return *error;
    }
    if (std::optional<MachOError> error = checkDuplicates(file.slices)) {
        return *error;
    }
    for (Slice& slice : file.slices) {
        BW_TRY(image, readSliceImage(bytes, slice));
        slice.image = std::move(image).value();
    }
    return file;
}

} // namespace

std::string Slice::architecture() const {
    return architectureName(cpuType, cpuSubtype);
}

Result<MachOFile> parseMachOFile(Bytes bytes) {
    const uint32_t magic = bytes.size() >= 4 ? ByteCursor(bytes, ByteOrder::big).u32() : 0;
    if (magic == fatMagic || magic == fatMagic64) {
        return readUniversal(bytes, magic == fatMagic64);
    }
    BW_TRY(image, parseImage(bytes));
    MachOFile file;
    Slice slice;
    slice.cpuType = image->header.cpuType;
    slice.cpuSubtype = image->header.cpuSubtype;
    slice.size = bytes.size();
    slice.image = std::move(image).value();
    file.slices.push_back(std::move(slice));
    return file;
}

Result<OpenedMachOFile> openMachOFile(const std::string& path) {
    BW_TRY(mapping, MappedFile::open(path));
    BW_TRY(file, parseMachOFile(mapping->bytes()));
    return OpenedMachOFile{std::move(mapping).value(), std::move(file).value()};
}

} // namespace bw::macho
