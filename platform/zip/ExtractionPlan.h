#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>
#include <zip.h>

namespace bw::zip {

class Archive;

enum class EntryKind { directory, file, link };

struct PlannedEntry {
    EntryKind kind = EntryKind::file;
    std::string name;                     // as stored in the archive, for messages
    std::vector<std::string> path;        // components below the destination, none "", "." or ".."
    zip_uint64_t index = 0;               // unused for folders the archive only implies
    mode_t mode = 0;                      // permission bits only: never setuid, setgid or sticky
    std::optional<std::int64_t> modified; // seconds since 1970
    zip_uint64_t size = 0;                // declared uncompressed size
    zip_uint64_t compressedSize = 0;
    zip_uint16_t method = ZIP_CM_STORE; // how the data is compressed
    zip_uint32_t crc = 0;
    bool encrypted = false;
    std::string linkTarget;
};

// What an archive will create, checked in full before anything is written.
struct ExtractionPlan {
    std::vector<PlannedEntry> directories; // every folder before its subfolders
    std::vector<PlannedEntry> files;
    std::vector<PlannedEntry> links;
    zip_uint64_t declaredBytes = 0; // saturates instead of wrapping
};

// Reads every entry of the archive and refuses it whole (ExtractionError) when any entry has an
// unsafe name, a link that could lead outside the destination, a path that is a folder and
// something else at once, or cannot be read. Entries under "__MACOSX/" are left out, and so is
// an AppleDouble "._NAME" beside an item NAME of the archive. Of two files with the same path,
// the later one wins; paths that differ only in the case of ASCII letters are the same path, as on
// a Mac, and keep the first entry's spelling.
ExtractionPlan planExtraction(const Archive& archive);

std::string joinedPath(const std::vector<std::string>& components);

} // namespace bw::zip
