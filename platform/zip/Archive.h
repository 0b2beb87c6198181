#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <zip.h>

namespace bw::zip {

// One read-only libzip handle. Handles are not shared between threads: each extraction worker
// opens its own.
class Archive {
public:
    // Throws ExtractionError::unreadableArchive when the file is missing or not a zip archive.
    static Archive open(const std::filesystem::path& path);
    // Takes ownership of an already opened handle.
    explicit Archive(zip_t* handle) : handle_(handle) {}

    zip_t* get() const { return handle_.get(); }

    // libzip's message for the last failure on this handle.
    std::string lastError() const;

private:
    struct Discard {
        void operator()(zip_t* handle) const { zip_discard(handle); }
    };
    std::unique_ptr<zip_t, Discard> handle_;
};

// What the entries of the archive at `path` declare they unpack to, in bytes (saturating instead
// of wrapping), read from its central directory alone; nothing when that cannot be found and it
// is no archive libzip opens. Throws Cancelled once `stop` is requested: an archive may hold
// hundreds of thousands of entries.
std::optional<std::uint64_t> declaredUncompressedSize(const std::filesystem::path& path,
                                                      std::stop_token stop = {});

// One open entry of an archive.
class ArchiveFile {
public:
    // Throws ExtractionError::damagedEntry when the entry cannot be opened (unsupported method,
    // encryption).
    ArchiveFile(const Archive& archive, zip_uint64_t index, const std::string& name);

    zip_file_t* get() const { return file_.get(); }
    std::string lastError() const { return zip_file_strerror(file_.get()); }

private:
    struct Close {
        void operator()(zip_file_t* file) const { zip_fclose(file); }
    };
    std::unique_ptr<zip_file_t, Close> file_;
};

} // namespace bw::zip
