#include "platform/zip/Extractor.h"

#include "platform/zip/Archive.h"
#include "platform/zip/CentralDirectory.h"
#include "platform/zip/DestinationTree.h"
#include "platform/zip/DirectReader.h"
#include "platform/zip/EntryName.h"
#include "platform/zip/ExtractionError.h"
#include "platform/zip/ExtractionPlan.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <functional>
#include <mutex>
#include <optional>
#include <string_view>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace bw::zip {

namespace {

using Kind = ExtractionError::Kind;

constexpr std::size_t bufferSize = 256 * 1024;

void writeAll(const UniqueFd& fd, const char* data, std::size_t size, const PlannedEntry& file) {
    while (size > 0) {
        const ssize_t written = ::write(fd.get(), data, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            throw ExtractionError(Kind::writeFailed, joinedPath(file.path),
                                  written < 0 ? std::strerror(errno) : "nothing was written");
        }
        data += written;
        size -= std::size_t(written);
    }
}

// Streams one entry to disk, never writing more than it declares: the free-space check relies
// on the declared sizes, so a deflate stream that inflates further is refused.
void extractDirectly(const DirectReader& reader, const DestinationTree& tree,
                     const PlannedEntry& file, std::vector<char>& buffer) {
    const UniqueFd out = tree.createFile(file);
    zip_uint64_t written = 0;
    reader.read(file, buffer, [&](const char* data, std::size_t size) {
        if (size > file.size - written) {
            throw ExtractionError(Kind::inflatesBeyondSize, file.name);
        }
        writeAll(out, data, size, file);
        written += size;
    });
    if (written != file.size) {
        throw ExtractionError(Kind::damagedEntry, file.name,
                              "its data is shorter than its declared size");
    }
    tree.finishFile(out, file);
}

// The same through libzip, for the entries the direct reader leaves to it.
void extractFile(const Archive& archive, const DestinationTree& tree, const PlannedEntry& file,
                 std::vector<char>& buffer) {
    const char* storedName = zip_get_name(archive.get(), file.index, 0);
    if (storedName == nullptr || std::string_view(storedName) != file.name) {
        throw ExtractionError(Kind::damagedEntry, file.name,
                              "the archive changed during extraction");
    }
    ArchiveFile entry(archive, file.index, file.name);
    const UniqueFd out = tree.createFile(file);
    zip_uint64_t written = 0;
    for (;;) {
        const zip_int64_t read = zip_fread(entry.get(), buffer.data(), buffer.size());
        if (read < 0) {
            throw ExtractionError(Kind::damagedEntry, file.name, entry.lastError());
        }
        if (read == 0) {
            break;
        }
        if (zip_uint64_t(read) > file.size - written) {
            throw ExtractionError(Kind::inflatesBeyondSize, file.name);
        }
        writeAll(out, buffer.data(), std::size_t(read), file);
        written += zip_uint64_t(read);
    }
    if (written != file.size) {
        throw ExtractionError(Kind::damagedEntry, file.name,
                              "its data is shorter than its declared size");
    }
    tree.finishFile(out, file);
}

// Hands out files, largest compressed first so that no worker is left with a big one at the
// end, and keeps the first failure; after it the others stop at their next file.
class FileQueue {
public:
    explicit FileQueue(std::vector<PlannedEntry> files) : files_(std::move(files)) {
        std::stable_sort(files_.begin(), files_.end(), [](const auto& a, const auto& b) {
            return a.compressedSize > b.compressedSize;
        });
    }

    std::size_t size() const { return files_.size(); }

    const PlannedEntry* next() {
        if (failed_.load(std::memory_order_relaxed)) {
            return nullptr;
        }
        const std::size_t index = next_.fetch_add(1, std::memory_order_relaxed);
        return index < files_.size() ? &files_[index] : nullptr;
    }

    void fail(std::exception_ptr error) {
        const std::lock_guard lock(mutex_);
        if (!error_) {
            error_ = std::move(error);
        }
        failed_ = true;
    }

    void rethrowFailure() const {
        if (error_) {
            std::rethrow_exception(error_);
        }
    }

private:
    std::vector<PlannedEntry> files_;
    std::atomic<std::size_t> next_{0};
    std::atomic<bool> failed_{false};
    std::mutex mutex_;
    std::exception_ptr error_;
};

void drain(FileQueue& queue, const DestinationTree& tree, const DirectReader& reader,
           const std::function<const Archive&()>& archive) {
    try {
        std::vector<char> buffer(bufferSize);
        while (const PlannedEntry* file = queue.next()) {
            if (reader.canRead(*file)) {
                extractDirectly(reader, tree, *file, buffer);
            } else {
                extractFile(archive(), tree, *file, buffer);
            }
        }
    } catch (...) {
        queue.fail(std::current_exception());
    }
}

void extractFiles(const std::filesystem::path& path, const Archive& first,
                  const DestinationTree& tree, std::vector<PlannedEntry> files, unsigned workers) {
    FileQueue queue(std::move(files));
    if (queue.size() == 0) {
        return;
    }
    const std::size_t helpers = std::min<std::size_t>(std::max(workers, 1u), queue.size()) - 1;
    const DirectReader reader(path, first);
    {
        std::vector<std::jthread> threads;
        for (std::size_t i = 0; i < helpers; ++i) {
            threads.emplace_back([&] {
                // Opened lazily inside the worker, only for entries the direct reader leaves to
                // libzip, so a failure is reported like any other.
                std::optional<Archive> own;
                drain(queue, tree, reader, [&]() -> const Archive& {
                    if (!own) {
                        own.emplace(Archive::open(path));
                    }
                    return *own;
                });
            });
        }
        drain(queue, tree, reader, [&]() -> const Archive& { return first; });
    }
    queue.rethrowFailure();
}

// libzip turns a NUL byte in a name into a space, so the plan never sees one ("a\0b" would
// become "a b"): such names are refused here, from the directory's own bytes, before anything is
// written.
void refuseNamesHoldingNul(const std::filesystem::path& archive) {
    const UniqueFd fd(::open(archive.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (!fd.valid() || ::fstat(fd.get(), &info) != 0) {
        return; // opening the archive reports this
    }
    for (const std::string& name : storedEntryNames(fd.get(), zip_uint64_t(info.st_size))) {
        const EntryNameVerdict verdict = checkEntryName(name).verdict;
        if (verdict == EntryNameVerdict::nulCharacter) {
            std::string shown;
            for (const char c : name) {
                shown += c == '\0' ? std::string("\\0") : std::string(1, c);
            }
            throw ExtractionError(Kind::unsafeEntryName, shown,
                                  std::string(refusalReason(verdict)));
        }
    }
}

} // namespace

void extractArchive(const std::filesystem::path& archive, const std::filesystem::path& destination,
                    unsigned workers) {
    const Archive first = Archive::open(archive);
    refuseNamesHoldingNul(archive);
    ExtractionPlan plan = planExtraction(first);
    const DestinationTree tree(destination);
    const std::uint64_t freeBytes = tree.freeBytes();
    if (plan.declaredBytes > freeBytes) {
        throw ExtractionError(Kind::insufficientSpace, archive.string(),
                              "it declares " + std::to_string(plan.declaredBytes) +
                                  " bytes of content but only " + std::to_string(freeBytes) +
                                  " bytes are free at " + destination.string());
    }
    for (const PlannedEntry& folder : plan.directories) {
        tree.makeFolder(folder);
    }
    extractFiles(archive, first, tree, std::move(plan.files), workers);
    for (const PlannedEntry& link : plan.links) {
        tree.makeLink(link);
    }
    // Modes and times last, once nothing more is created inside, and innermost first, so that a
    // folder whose mode shuts its owner out does not hide folders still to be finished.
    for (auto folder = plan.directories.rbegin(); folder != plan.directories.rend(); ++folder) {
        tree.finishFolder(*folder);
    }
}

} // namespace bw::zip
