#include "platform/zip/Archive.h"

#include "platform/core/Cancelled.h"
#include "platform/zip/CentralDirectory.h"
#include "platform/zip/ExtractionError.h"
#include "platform/zip/UniqueFd.h"

#include <fcntl.h>
#include <fstream>
#include <string_view>
#include <sys/stat.h>

namespace bw::zip {

namespace {

// Whether the file begins with a zip entry's local header.
bool startsLikeZip(const std::filesystem::path& path) {
    char start[4] = {};
    std::ifstream in(path, std::ios::binary);
    return in.read(start, sizeof start) && std::string_view(start, 4) == "PK\x03\x04";
}

std::uint64_t saturatingSum(std::uint64_t total, std::uint64_t size) {
    const std::uint64_t sum = total + size;
    return sum < total ? UINT64_MAX : sum;
}

// The sum read straight from the central directory, checking `stop` between entries: libzip's
// opening alone takes seconds for a few hundred thousand entries and cannot be interrupted.
// Nothing when the directory cannot be read this way.
std::optional<std::uint64_t> directorySize(const std::filesystem::path& path,
                                           const std::stop_token& stop) {
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (!fd.valid() || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    const auto fileSize = std::uint64_t(info.st_size);
    const std::optional<CentralDirectory> directory = findCentralDirectory(fd.get(), fileSize);
    const std::optional<std::vector<unsigned char>> bytes =
        directory ? readCentralDirectory(fd.get(), fileSize, *directory) : std::nullopt;
    if (!bytes) {
        return std::nullopt;
    }
    std::uint64_t total = 0;
    std::size_t at = 0;
    for (std::uint64_t index = 0; index < directory->entries; ++index) {
        if (stop.stop_requested()) {
            throw Cancelled();
        }
        const unsigned char* record = bytes->data() + at;
        if (bytes->size() - at < centralRecordSize || little(record, 4) != 0x02014b50) {
            return std::nullopt;
        }
        const std::size_t recordSize = centralRecordSize + little(record + 28, 2) +
                                       little(record + 30, 2) + little(record + 32, 2);
        if (bytes->size() - at < recordSize) {
            return std::nullopt;
        }
        total = saturatingSum(total, recordSizes(record).size);
        at += recordSize;
    }
    return total;
}

} // namespace

Archive Archive::open(const std::filesystem::path& path) {
    int code = 0;
    zip_t* handle = zip_open(path.c_str(), ZIP_RDONLY, &code);
    if (handle == nullptr) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        std::string detail = zip_error_strerror(&error);
        zip_error_fini(&error);
        // Its directory is the archive's last part: an archive cut short has lost it, which
        // libzip reports as no archive at all.
        if (code == ZIP_ER_NOZIP && startsLikeZip(path)) {
            detail = "the directory at its end is missing or damaged, as when a copy or download "
                     "is cut short";
        }
        throw ExtractionError(ExtractionError::Kind::unreadableArchive, path.string(), detail);
    }
    return Archive(handle);
}

std::string Archive::lastError() const {
    return zip_strerror(handle_.get());
}

ArchiveFile::ArchiveFile(const Archive& archive, zip_uint64_t index, const std::string& name)
    : file_(zip_fopen_index(archive.get(), index, 0)) {
    if (!file_) {
        // libzip's own words, "No password provided", read as if one could be given.
        const bool encrypted = zip_error_code_zip(zip_get_error(archive.get())) == ZIP_ER_NOPASSWD;
        throw ExtractionError(ExtractionError::Kind::damagedEntry, name,
                              encrypted ? "it is encrypted (password-protected)"
                                        : archive.lastError());
    }
}

std::optional<std::uint64_t> declaredUncompressedSize(const std::filesystem::path& path,
                                                      std::stop_token stop) {
    if (const auto total = directorySize(path, stop)) {
        return total;
    }
    int code = 0;
    const std::unique_ptr<zip_t, decltype(&zip_discard)> handle(
        zip_open(path.c_str(), ZIP_RDONLY, &code), &zip_discard);
    if (!handle) {
        return std::nullopt;
    }
    std::uint64_t total = 0;
    const zip_int64_t count = zip_get_num_entries(handle.get(), 0);
    for (zip_int64_t index = 0; index < count; ++index) {
        zip_stat_t stat;
        if (zip_stat_index(handle.get(), zip_uint64_t(index), 0, &stat) == 0 &&
            (stat.valid & ZIP_STAT_SIZE) != 0) {
            total = saturatingSum(total, stat.size);
        }
    }
    return total;
}

} // namespace bw::zip
