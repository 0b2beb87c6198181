#pragma once

#include <filesystem>

namespace bw::test {

// A new private folder under the system's temporary directory, removed with everything in it
// (read-only folders included) when the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Removes a folder tree even when some of its folders are read-only; nothing when it is absent.
void removeTree(const std::filesystem::path& root);

} // namespace bw::test
