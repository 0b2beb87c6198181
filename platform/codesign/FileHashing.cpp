#include "platform/codesign/FileHashing.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <thread>
#include <unistd.h>

namespace bw::codesign {

namespace {

constexpr std::size_t chunkSize = 1 << 20;

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

} // namespace

FileHashResult hashFile(const FileHashRequest& request) {
    FileHashResult result;
    // O_NOFOLLOW: a sealed file that became a link must not be hashed through the link.
    FileDescriptor fd(::open(request.path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (fd.get() < 0) {
        result.error = std::strerror(errno);
        return result;
    }
    std::optional<Hasher> sha1;
    std::optional<Hasher> sha256;
    if (request.sha1) {
        sha1.emplace(HashType::sha1);
    }
    if (request.sha256) {
        sha256.emplace(HashType::sha256);
    }
    std::vector<std::uint8_t> buffer(chunkSize);
    for (;;) {
        ssize_t n = ::read(fd.get(), buffer.data(), buffer.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            result.error = std::strerror(errno);
            return result;
        }
        if (n == 0) {
            break;
        }
        std::span<const std::uint8_t> piece(buffer.data(), static_cast<std::size_t>(n));
        if (sha1) {
            sha1->update(piece);
        }
        if (sha256) {
            sha256->update(piece);
        }
    }
    if (sha1) {
        result.sha1 = sha1->finish();
    }
    if (sha256) {
        result.sha256 = sha256->finish();
    }
    return result;
}

std::vector<FileHashResult> hashFiles(const std::vector<FileHashRequest>& requests,
                                      unsigned threads) {
    std::vector<FileHashResult> results(requests.size());
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i = next++; i < requests.size(); i = next++) {
            results[i] = hashFile(requests[i]);
        }
    };
    unsigned workers = std::clamp<unsigned>(threads, 1, std::max<std::size_t>(requests.size(), 1));
    {
        std::vector<std::jthread> pool;
        for (unsigned i = 1; i < workers; ++i) {
            pool.emplace_back(work);
        }
        work();
    }
    return results;
}

unsigned defaultHashThreads() {
    return std::max(1u, std::thread::hardware_concurrency());
}

} // namespace bw::codesign
