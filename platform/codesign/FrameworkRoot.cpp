#include "platform/codesign/FrameworkRoot.h"

#include <string>

namespace bw::codesign {

namespace stdfs = std::filesystem;

namespace {

std::string linkTarget(const stdfs::path& link) {
    std::error_code ec;
    std::string target = stdfs::read_symlink(link, ec).generic_string();
    return target.starts_with("./") ? target.substr(2) : target;
}

// One path component that names a folder beside the link, not "." or "..".
bool isVersionName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

bool versionsFolderIsStandard(const stdfs::path& versions) {
    std::error_code ec;
    bool hasVersion = false;
    bool hasCurrent = false;
    for (const auto& entry : stdfs::directory_iterator(versions, ec)) {
        const std::string name = entry.path().filename().string();
        const stdfs::file_status status = entry.symlink_status(ec);
        if (name == "Current" && stdfs::is_symlink(status)) {
            hasCurrent = isVersionName(linkTarget(entry.path()));
        } else if (stdfs::is_directory(status)) {
            hasVersion = true;
        } else if (name != ".DS_Store" || !stdfs::is_regular_file(status)) {
            return false;
        }
    }
    return !ec && hasVersion && hasCurrent;
}

bool rootEntryIsStandard(const stdfs::directory_entry& entry, const std::string& current) {
    std::error_code ec;
    const std::string name = entry.path().filename().string();
    const stdfs::file_status status = entry.symlink_status(ec);
    if (name == "Versions" && stdfs::is_directory(status)) {
        return versionsFolderIsStandard(entry.path());
    }
    if (stdfs::is_symlink(status)) {
        const std::string target = linkTarget(entry.path());
        return target == "Versions/Current/" + name || target == "Versions/" + current + "/" + name;
    }
    return (name == ".DS_Store" || name == "module.map") && stdfs::is_regular_file(status);
}

} // namespace

bool frameworkRootIsStandard(const stdfs::path& framework) {
    const std::string current = linkTarget(framework / "Versions" / "Current");
    std::error_code ec;
    for (const auto& entry : stdfs::directory_iterator(framework, ec)) {
        if (!rootEntryIsStandard(entry, current)) {
            return false;
        }
    }
    return !ec;
}

} // namespace bw::codesign
