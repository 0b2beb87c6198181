#include "platform/zip/Archive.h"

#include "platform/zip/ExtractionError.h"

#include <fstream>
#include <string_view>

namespace bw::zip {

namespace {

// Whether the file begins with a zip entry's local header.
bool startsLikeZip(const std::filesystem::path& path) {
    char start[4] = {};
    std::ifstream in(path, std::ios::binary);
    return in.read(start, sizeof start) && std::string_view(start, 4) == "PK\x03\x04";
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

std::optional<std::uint64_t> declaredUncompressedSize(const std::filesystem::path& path) {
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
            const std::uint64_t sum = total + stat.size;
            total = sum < total ? UINT64_MAX : sum;
        }
    }
    return total;
}

} // namespace bw::zip
