#pragma once

#include <filesystem>

namespace bw::zip {

// Extracts the zip archive at `archive` into the folder `destination` (created when missing),
// keeping permission bits (without setuid, setgid and sticky), symbolic links and modification
// times. The whole archive is checked first and refused with ExtractionError when any entry is
// unsafe or when its declared size exceeds the free space of the destination's file system;
// then folders are made, files are written by `workers` threads, each with its own archive
// handle, and links are made last. A refused archive leaves nothing outside `destination`.
void extractArchive(const std::filesystem::path& archive, const std::filesystem::path& destination,
                    unsigned workers);

} // namespace bw::zip
