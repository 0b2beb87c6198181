#include "platform/zip/Archive.h"

#include "platform/zip/ExtractionError.h"

namespace bw::zip {

Archive Archive::open(const std::filesystem::path& path) {
    int code = 0;
    zip_t* handle = zip_open(path.c_str(), ZIP_RDONLY, &code);
    if (handle == nullptr) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        std::string detail = zip_error_strerror(&error);
        zip_error_fini(&error);
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
        throw ExtractionError(ExtractionError::Kind::damagedEntry, name, archive.lastError());
    }
}

} // namespace bw::zip
