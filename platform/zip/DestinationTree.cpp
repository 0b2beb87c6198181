#include "platform/zip/DestinationTree.h"

#include "platform/zip/ExtractionError.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <system_error>

namespace bw::zip {

namespace {

using Kind = ExtractionError::Kind;

[[noreturn]] void failWrite(const std::string& subject, int error) {
    // Components are opened without following links, which the kernel reports as either.
    std::string detail = error == ELOOP || error == ENOTDIR
                             ? "a symbolic link or file is in the way"
                             : std::strerror(error);
    throw ExtractionError(Kind::writeFailed, subject, detail);
}

std::string subjectOf(const PlannedEntry& entry) {
    return joinedPath(entry.path);
}

timespec timesOf(const PlannedEntry& entry) {
    timespec time{};
    time.tv_sec = time_t(*entry.modified);
    return time;
}

} // namespace

DestinationTree::DestinationTree(const std::filesystem::path& root) : rootPath_(root) {
    std::error_code error;
    std::filesystem::create_directories(root, error);
    if (error) {
        throw ExtractionError(Kind::writeFailed, root.string(), error.message());
    }
    root_ = UniqueFd(::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!root_.valid()) {
        failWrite(root.string(), errno);
    }
}

std::uint64_t DestinationTree::freeBytes() const {
    struct statvfs info {};
    if (::fstatvfs(root_.get(), &info) != 0) {
        failWrite(rootPath_.string(), errno);
    }
    return std::uint64_t(info.f_bavail) * std::uint64_t(info.f_frsize);
}

UniqueFd DestinationTree::openFolder(const PlannedEntry& entry, std::size_t depth) const {
    UniqueFd folder(::dup(root_.get()));
    for (std::size_t i = 0; i < depth && folder.valid(); ++i) {
        folder = UniqueFd(::openat(folder.get(), entry.path[i].c_str(),
                                   O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    }
    if (!folder.valid()) {
        failWrite(subjectOf(entry), errno);
    }
    return folder;
}

void DestinationTree::makeFolder(const PlannedEntry& folder) const {
    const UniqueFd parent = openFolder(folder, folder.path.size() - 1);
    if (::mkdirat(parent.get(), folder.path.back().c_str(), 0700) != 0 && errno != EEXIST) {
        failWrite(subjectOf(folder), errno);
    }
}

void DestinationTree::finishFolder(const PlannedEntry& folder) const {
    const UniqueFd fd = openFolder(folder, folder.path.size());
    if (::fchmod(fd.get(), folder.mode) != 0) {
        failWrite(subjectOf(folder), errno);
    }
    if (folder.modified) {
        const timespec times[2] = {timesOf(folder), timesOf(folder)};
        if (::futimens(fd.get(), times) != 0) {
            failWrite(subjectOf(folder), errno);
        }
    }
}

UniqueFd DestinationTree::createFile(const PlannedEntry& file) const {
    const UniqueFd parent = openFolder(file, file.path.size() - 1);
    const char* name = file.path.back().c_str();
    constexpr int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    UniqueFd fd(::openat(parent.get(), name, flags, 0600));
    if (!fd.valid() && errno == EEXIST && ::unlinkat(parent.get(), name, 0) == 0) {
        fd = UniqueFd(::openat(parent.get(), name, flags, 0600));
    }
    if (!fd.valid()) {
        failWrite(subjectOf(file), errno);
    }
    return fd;
}

void DestinationTree::finishFile(const UniqueFd& fd, const PlannedEntry& file) const {
    if (::fchmod(fd.get(), file.mode) != 0) {
        failWrite(subjectOf(file), errno);
    }
    if (file.modified) {
        const timespec times[2] = {timesOf(file), timesOf(file)};
        if (::futimens(fd.get(), times) != 0) {
            failWrite(subjectOf(file), errno);
        }
    }
}

void DestinationTree::makeLink(const PlannedEntry& link) const {
    const UniqueFd parent = openFolder(link, link.path.size() - 1);
    const char* name = link.path.back().c_str();
    int result = ::symlinkat(link.linkTarget.c_str(), parent.get(), name);
    if (result != 0 && errno == EEXIST && ::unlinkat(parent.get(), name, 0) == 0) {
        result = ::symlinkat(link.linkTarget.c_str(), parent.get(), name);
    }
    if (result != 0) {
        failWrite(subjectOf(link), errno);
    }
    if (link.modified) {
        const timespec times[2] = {timesOf(link), timesOf(link)};
        if (::utimensat(parent.get(), name, times, AT_SYMLINK_NOFOLLOW) != 0) {
            failWrite(subjectOf(link), errno);
        }
    }
}

} // namespace bw::zip
