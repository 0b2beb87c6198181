#include "platform/codesign/BundleLayout.h"

#include "platform/plist/PlistValue.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace bw::codesign {

namespace stdfs = std::filesystem;

namespace {

// No Info.plist comes near this.
constexpr std::size_t maxInfoPlistBytes = 64 * 1024 * 1024;

// Up to `limit` bytes from the start of the regular file at `path`, links followed; absent for
// anything else. Opened without blocking: a FIFO planted in a bundle must not stall the check,
// and reading a folder must not throw.
std::optional<QByteArray> readStart(const stdfs::path& path, std::size_t limit) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    struct stat status {};
    std::optional<QByteArray> bytes;
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
        bytes.emplace();
        char chunk[64 * 1024];
        while (std::size_t(bytes->size()) < limit) {
            const std::size_t wanted = std::min(sizeof chunk, limit - std::size_t(bytes->size()));
            const ssize_t got = ::read(fd, chunk, wanted);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got < 0) {
                bytes.reset();
            }
            if (got <= 0) {
                break;
            }
            bytes->append(chunk, qsizetype(got));
        }
    }
    ::close(fd);
    return bytes;
}

std::optional<std::string> bundleExecutableName(const stdfs::path& infoPlist) {
    const std::optional<QByteArray> bytes = readStart(infoPlist, maxInfoPlistBytes);
    if (!bytes) {
        return std::nullopt;
    }
    const auto root = plist::PlistValue::parse(*bytes);
    const plist::PlistDictionary* info = root ? root->dictionary() : nullptr;
    const QString* entry = info ? plist::stringEntry(*info, u"CFBundleExecutable") : nullptr;
    const std::optional<std::string> name =
        entry ? std::optional(entry->toStdString()) : std::nullopt;
    // A name with a separator would point outside the executable folder.
    if (!name || name->empty() || name->find('/') != std::string::npos || *name == "." ||
        *name == "..") {
        return std::nullopt;
    }
    return name;
}

} // namespace

std::optional<std::string> BundleLayout::executableRelativePath() const {
    if (!executable) {
        return std::nullopt;
    }
    return executable->lexically_relative(resourceBase).generic_string();
}

BundleLayout bundleLayout(const stdfs::path& root) {
    BundleLayout layout;
    layout.root = root;
    std::error_code ec;
    stdfs::path executableFolder;
    if (stdfs::is_directory(root / "Contents", ec)) {
        layout.contentsFolder = true;
        layout.resourceBase = root / "Contents";
        layout.infoPlist = layout.resourceBase / "Info.plist";
        executableFolder = layout.resourceBase / "MacOS";
    } else if (stdfs::is_symlink(root / "Versions" / "Current", ec)) {
        // Reached through the link, as Apple's tool names the files; a link to anything but a
        // sibling folder is followed no further than its last name.
        layout.versioned = true;
        stdfs::path target = stdfs::read_symlink(root / "Versions" / "Current", ec);
        layout.resourceBase =
            root / "Versions" /
            (target == target.filename() ? stdfs::path("Current") : target.filename());
        layout.infoPlist = layout.resourceBase / "Resources" / "Info.plist";
        executableFolder = layout.resourceBase;
    } else {
        layout.resourceBase = root;
        layout.infoPlist = root / "Info.plist";
        executableFolder = root;
    }
    layout.codeResources = layout.resourceBase / "_CodeSignature" / "CodeResources";
    if (auto name = bundleExecutableName(layout.infoPlist)) {
        layout.executable = executableFolder / *name;
    } else if (root.extension() == ".framework") {
        layout.executable = executableFolder / root.stem();
    }
    return layout;
}

stdfs::path shownCodePath(const stdfs::path& code) {
    std::error_code ec;
    if (stdfs::is_symlink(code / "Versions" / "Current", ec) &&
        !stdfs::is_directory(code / "Contents", ec)) {
        return code / "Versions" / "Current" / ".";
    }
    return code;
}

bool isCodeBundle(const stdfs::path& folder) {
    std::error_code ec;
    if (stdfs::is_directory(folder / "_CodeSignature", ec) ||
        stdfs::is_directory(folder / "Contents" / "_CodeSignature", ec)) {
        return true;
    }
    BundleLayout layout = bundleLayout(folder);
    return layout.executable &&
           stdfs::is_regular_file(stdfs::symlink_status(*layout.executable, ec));
}

bool looksLikeMachO(const stdfs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::array<unsigned char, 4> magic{};
    if (!in.read(reinterpret_cast<char*>(magic.data()), magic.size())) {
        return false;
    }
    std::uint32_t big = (std::uint32_t{magic[0]} << 24) | (std::uint32_t{magic[1]} << 16) |
                        (std::uint32_t{magic[2]} << 8) | magic[3];
    switch (big) {
    case 0xfeedfaceu:
    case 0xfeedfacfu:
    case 0xcefaedfeu:
    case 0xcffaedfeu:
    case 0xcafebabeu:
    case 0xcafebabfu:
        return true;
    default:
        return false;
    }
}

} // namespace bw::codesign
