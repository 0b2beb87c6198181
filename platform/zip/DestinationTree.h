#pragma once

#include "platform/zip/ExtractionPlan.h"
#include "platform/zip/UniqueFd.h"

#include <cstdint>
#include <filesystem>

namespace bw::zip {

// The folder an archive is extracted into. Every item is created relative to a descriptor of
// its parent folder, reached from the root one component at a time without following links, so
// nothing is ever written through a symbolic link, whatever is already in the folder.
class DestinationTree {
public:
    // Creates the folder (with its parents) when it does not exist yet.
    explicit DestinationTree(const std::filesystem::path& root);

    std::uint64_t freeBytes() const;

    // Creates a folder owner-only; `finishFolder` gives it its mode and time once its content
    // is in place (a read-only folder could not be filled otherwise).
    void makeFolder(const PlannedEntry& folder) const;
    void finishFolder(const PlannedEntry& folder) const;

    // A new, empty, owner-only file open for writing; an item already at the path is replaced.
    UniqueFd createFile(const PlannedEntry& file) const;
    void finishFile(const UniqueFd& fd, const PlannedEntry& file) const;

    void makeLink(const PlannedEntry& link) const;

private:
    UniqueFd openFolder(const PlannedEntry& entry, std::size_t depth) const;

    std::filesystem::path rootPath_;
    UniqueFd root_;
};

} // namespace bw::zip
