#include "platform/macho/MappedFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace bw::macho {
namespace {

MachOError systemError() {
    return {MachOError::Kind::unreadable, std::strerror(errno)};
}

} // namespace

Result<MappedFile> MappedFile::open(const std::string& path) {
    // Without blocking: a FIFO under the name must be refused below, not wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return systemError();
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        MachOError error = systemError();
        ::close(fd);
        return error;
    }
    if (!S_ISREG(status.st_mode)) {
        ::close(fd);
        return MachOError{MachOError::Kind::unreadable,
                          S_ISDIR(status.st_mode) ? "Is a directory" : "Not a regular file"};
    }
    const auto size = static_cast<size_t>(status.st_size);
    if (size == 0) {
        ::close(fd);
        return MappedFile();
    }
    void* address = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    MachOError error = systemError();
    ::close(fd);
    if (address == MAP_FAILED) {
        return error;
    }
    return MappedFile(static_cast<const std::byte*>(address), size);
}

MappedFile::MappedFile(MappedFile&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept {
    if (this != &other) {
        unmap();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

MappedFile::~MappedFile() {
    unmap();
}

void MappedFile::unmap() {
    if (data_ != nullptr) {
        ::munmap(const_cast<std::byte*>(data_), size_);
    }
    data_ = nullptr;
    size_ = 0;
}

} // namespace bw::macho
