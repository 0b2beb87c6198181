#include "tests/support/TempFolder.h"

#include <stdexcept>
#include <stdlib.h>
#include <string>
#include <sys/stat.h>
#include <system_error>

namespace bw::test {

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "bw-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    path_ = pattern;
}

TempFolder::~TempFolder() {
    removeTree(path_);
}

void removeTree(const std::filesystem::path& root) {
    std::error_code error;
    if (!std::filesystem::is_directory(std::filesystem::symlink_status(root, error))) {
        std::filesystem::remove(root, error);
        return;
    }
    ::chmod(root.c_str(), 0700);
    using Iterator = std::filesystem::recursive_directory_iterator;
    for (Iterator it(root, error); !error && it != Iterator(); it.increment(error)) {
        if (it->is_directory(error) && !it->is_symlink(error)) {
            ::chmod(it->path().c_str(), 0700);
        }
    }
    std::filesystem::remove_all(root, error);
}

} // namespace bw::test
