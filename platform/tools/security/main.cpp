// Stand-in for the one invocation of security the build inspection makes:
// "security cms -D -i FILE", writing the content of a CMS signed message to standard output.

#include "platform/cms/CmsError.h"
#include "platform/cms/SignedData.h"
#include "platform/tools/lifeline/ParentLifeline.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Provisioning profiles are a few kilobytes; anything near this is not one.
constexpr long maximumMessageSize = 64L * 1024 * 1024;

struct CloseFile {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

int fail(const char* path, const std::string& reason) {
    std::fprintf(stderr, "security: %s: %s\n", path, reason.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    bw::tools::endWithParent();
    if (argc != 5 || std::string_view(argv[1]) != "cms" || std::string_view(argv[2]) != "-D" ||
        std::string_view(argv[3]) != "-i") {
        std::fputs("usage: security cms -D -i FILE\n", stderr);
        return 1;
    }
    const char* path = argv[4];
    // Opened without blocking, or a FIFO in a bundle would stall the scan until its time-out.
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return fail(path, std::strerror(errno));
    }
    struct stat status {};
    const std::unique_ptr<std::FILE, CloseFile> file(::fdopen(fd, "rb"));
    if (!file) {
        ::close(fd);
        return fail(path, std::strerror(errno));
    }
    if (::fstat(fd, &status) != 0) {
        return fail(path, std::strerror(errno));
    }
    if (!S_ISREG(status.st_mode)) {
        return fail(path, S_ISDIR(status.st_mode) ? std::strerror(EISDIR) : "not a regular file");
    }
    std::string der;
    char chunk[64 * 1024];
    std::size_t read = 0;
    while ((read = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
        der.append(chunk, read);
        if (long(der.size()) > maximumMessageSize) {
            return fail(path, "too large to be a CMS message");
        }
    }
    if (std::ferror(file.get())) {
        return fail(path, std::strerror(errno));
    }
    try {
        const std::string content = bw::cms::signedContent(der);
        if (std::fwrite(content.data(), 1, content.size(), stdout) != content.size() ||
            std::fflush(stdout) != 0) {
            return fail(path, "could not write the content");
        }
    } catch (const bw::cms::CmsError& error) {
        return fail(path, error.description());
    }
    return 0;
}
