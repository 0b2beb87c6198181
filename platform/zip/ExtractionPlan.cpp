#include "platform/zip/ExtractionPlan.h"

#include "platform/zip/Archive.h"
#include "platform/zip/EntryName.h"
#include "platform/zip/ExtendedTimestamp.h"
#include "platform/zip/ExtractionError.h"
#include "platform/zip/LinkTarget.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <sys/stat.h>

namespace bw::zip {

namespace {

using Kind = ExtractionError::Kind;

// Longer targets are refused: no file system here resolves them anyway.
constexpr zip_uint64_t maximumLinkTarget = 4095;

// Every planned item keeps its whole path, so entries deep in folders of their own cost the
// square of their depth: a 2 MB archive of such entries planned gigabytes. Real archives come to
// a few components an item.
constexpr std::size_t maximumPlannedComponents = 4'000'000;

struct KindAndMode {
    EntryKind kind;
    mode_t mode;
};

// Unix archivers (ditto, Info-ZIP, libzip) keep the file type and mode in the upper half of the
// external attributes; archives from elsewhere get the usual defaults.
KindAndMode kindAndMode(zip_t* archive, zip_uint64_t index, bool nameIsDirectory) {
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(archive, index, 0, &system, &attributes) != 0) {
        system = 0;
    }
    const mode_t unixMode = system == ZIP_OPSYS_UNIX ? mode_t(attributes >> 16) : 0;
    const mode_t type = unixMode & S_IFMT;
    const EntryKind kind = nameIsDirectory || type == S_IFDIR ? EntryKind::directory
                           : type == S_IFLNK                  ? EntryKind::link
                                                              : EntryKind::file;
    mode_t permissions = unixMode & 0777;
    if (permissions == 0) {
        permissions = kind == EntryKind::directory ? 0755 : 0644;
    }
    return {kind, permissions};
}

std::string readLinkTarget(const Archive& archive, const PlannedEntry& entry) {
    if (entry.size > maximumLinkTarget) {
        throw ExtractionError(Kind::unsafeLink, entry.name, "its target is too long");
    }
    ArchiveFile file(archive, entry.index, entry.name);
    std::string target(maximumLinkTarget + 1, '\0');
    zip_uint64_t length = 0;
    for (;;) {
        const zip_int64_t read =
            zip_fread(file.get(), target.data() + length, target.size() - length);
        if (read < 0) {
            throw ExtractionError(Kind::damagedEntry, entry.name, file.lastError());
        }
        length += zip_uint64_t(read);
        if (length > entry.size) {
            throw ExtractionError(Kind::inflatesBeyondSize, entry.name);
        }
        if (read == 0) {
            break;
        }
    }
    target.resize(length);
    return target;
}

// A name like "._Info.plist": where Apple's tools keep a file's metadata beside it in an archive.
bool namesAppleDouble(const std::vector<std::string>& path) {
    return path.back().size() > 2 && path.back().starts_with("._");
}

// Whether the entry holds an AppleDouble header (magic 0x00051607, version 2) and so is metadata,
// not a file of its own.
bool holdsAppleDouble(const Archive& archive, zip_uint64_t index, const std::string& name) {
    static constexpr unsigned char header[] = {0x00, 0x05, 0x16, 0x07, 0x00, 0x02, 0x00, 0x00};
    ArchiveFile file(archive, index, name);
    unsigned char start[sizeof header] = {};
    return zip_fread(file.get(), start, sizeof start) == zip_int64_t(sizeof start) &&
           std::equal(std::begin(header), std::end(header), std::begin(start));
}

PlannedEntry readEntry(const Archive& archive, zip_uint64_t index, const zip_stat_t& stat,
                       CheckedEntryName checked) {
    PlannedEntry entry;
    entry.name = stat.name;
    entry.index = index;
    entry.path = std::move(checked.components);
    const KindAndMode kindMode = kindAndMode(archive.get(), index, checked.directory);
    entry.kind = kindMode.kind;
    entry.mode = kindMode.mode;
    entry.size = (stat.valid & ZIP_STAT_SIZE) != 0 ? stat.size : 0;
    entry.compressedSize = (stat.valid & ZIP_STAT_COMP_SIZE) != 0 ? stat.comp_size : 0;
    entry.method = (stat.valid & ZIP_STAT_COMP_METHOD) != 0 ? stat.comp_method : ZIP_CM_STORE;
    entry.crc = (stat.valid & ZIP_STAT_CRC) != 0 ? stat.crc : 0;
    entry.encrypted =
        (stat.valid & ZIP_STAT_ENCRYPTION_METHOD) == 0 || stat.encryption_method != ZIP_EM_NONE;
    entry.modified = extendedModificationTime(archive.get(), index);
    if (!entry.modified && (stat.valid & ZIP_STAT_MTIME) != 0) {
        entry.modified = std::int64_t(stat.mtime);
    }
    if (entry.kind == EntryKind::link) {
        entry.linkTarget = readLinkTarget(archive, entry);
        if (!linkTargetStaysInside(entry.linkTarget, entry.path.size() - 1)) {
            throw ExtractionError(Kind::unsafeLink, entry.name,
                                  "its target \"" + entry.linkTarget +
                                      "\" may lead outside the destination");
        }
    }
    return entry;
}

// A Mac's file system ignores the case of letters in names by default: entries whose paths differ
// only so are one item there, written over each other, and so they are one item here.
std::string itemKey(const std::vector<std::string>& path) {
    std::string key = joinedPath(path);
    for (char& c : key) {
        if (c >= 'A' && c <= 'Z') {
            c = char(c - 'A' + 'a');
        }
    }
    return key;
}

class PlanBuilder {
public:
    void add(PlannedEntry entry) {
        // Deepest first: once a folder is known, so are all of its parents.
        std::size_t known = entry.path.size() - 1;
        while (known > 0 && !adoptKnownFolder(entry, known)) {
            --known;
        }
        for (std::size_t depth = known + 1; depth < entry.path.size(); ++depth) {
            addImpliedFolder(entry, depth);
        }
        const std::string key = itemKey(entry.path);
        const auto existing = items_.find(key);
        if (existing == items_.end()) {
            plan(entry, entry.path.size());
            items_.emplace(key, std::move(entry));
            return;
        }
        const bool wasFolder = existing->second.kind == EntryKind::directory;
        if (wasFolder != (entry.kind == EntryKind::directory)) {
            throw ExtractionError(Kind::conflictingEntries, entry.name,
                                  "the archive has both a folder and a file or symbolic link "
                                  "at this path");
        }
        // The item keeps the name it was first written under.
        entry.path = existing->second.path;
        existing->second = std::move(entry);
    }

    bool has(const std::vector<std::string>& path) const { return items_.contains(itemKey(path)); }

    ExtractionPlan finish() && {
        ExtractionPlan plan;
        for (auto& [key, entry] : items_) {
            if (entry.kind != EntryKind::directory) {
                const zip_uint64_t sum = plan.declaredBytes + entry.size;
                plan.declaredBytes = sum < plan.declaredBytes ? UINT64_MAX : sum;
            }
            switch (entry.kind) {
            case EntryKind::directory:
                plan.directories.push_back(std::move(entry));
                break;
            case EntryKind::file:
                plan.files.push_back(std::move(entry));
                break;
            case EntryKind::link:
                plan.links.push_back(std::move(entry));
                break;
            }
        }
        return plan;
    }

private:
    void plan(const PlannedEntry& entry, std::size_t components) {
        plannedComponents_ += components;
        if (plannedComponents_ > maximumPlannedComponents) {
            throw ExtractionError(Kind::unsafeEntryName, entry.name,
                                  "the archive has too many folders nested too deeply");
        }
    }

    // Whether the folder `depth` components deep is known; the entry then takes its spelling.
    bool adoptKnownFolder(PlannedEntry& entry, std::size_t depth) const {
        const std::vector<std::string> path(entry.path.begin(), entry.path.begin() + long(depth));
        const auto existing = items_.find(itemKey(path));
        if (existing == items_.end()) {
            return false;
        }
        if (existing->second.kind != EntryKind::directory) {
            throw ExtractionError(Kind::conflictingEntries, entry.name,
                                  "it would be written through \"" + joinedPath(path) +
                                      "\", which the archive makes a file or symbolic link");
        }
        std::copy(existing->second.path.begin(), existing->second.path.end(), entry.path.begin());
        return true;
    }

    void addImpliedFolder(const PlannedEntry& entry, std::size_t depth) {
        plan(entry, depth);
        PlannedEntry folder;
        folder.kind = EntryKind::directory;
        folder.path.assign(entry.path.begin(), entry.path.begin() + long(depth));
        folder.name = joinedPath(folder.path) + "/";
        folder.mode = 0755;
        items_.emplace(itemKey(folder.path), std::move(folder));
    }

    // Keyed by the joined path, letters in lower case: a folder sorts before everything inside it.
    std::map<std::string, PlannedEntry> items_;
    std::size_t plannedComponents_ = 0;
};

} // namespace

std::string joinedPath(const std::vector<std::string>& components) {
    std::string joined;
    for (const std::string& component : components) {
        if (!joined.empty()) {
            joined += '/';
        }
        joined += component;
    }
    return joined;
}

ExtractionPlan planExtraction(const Archive& archive) {
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    PlanBuilder builder;
    // "._" entries wait until every other item is known: one is metadata only beside its item.
    std::vector<std::pair<zip_stat_t, CheckedEntryName>> sidecars;
    for (zip_int64_t index = 0; index < count; ++index) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(archive.get(), zip_uint64_t(index), 0, &stat) != 0 ||
            (stat.valid & ZIP_STAT_NAME) == 0) {
            throw ExtractionError(Kind::damagedEntry, "#" + std::to_string(index),
                                  archive.lastError());
        }
        CheckedEntryName checked = checkEntryName(stat.name);
        if (checked.verdict == EntryNameVerdict::macMetadata ||
            (checked.verdict == EntryNameVerdict::empty && checked.directory)) {
            continue;
        }
        if (checked.verdict != EntryNameVerdict::accepted) {
            throw ExtractionError(Kind::unsafeEntryName, stat.name,
                                  std::string(refusalReason(checked.verdict)));
        }
        if (!checked.directory && namesAppleDouble(checked.components)) {
            sidecars.emplace_back(stat, std::move(checked));
            continue;
        }
        builder.add(readEntry(archive, zip_uint64_t(index), stat, std::move(checked)));
    }
    // As ditto does, metadata kept beside an item becomes that item's extended attributes, which
    // this platform has no use for; it is never written as a file.
    for (auto& [stat, checked] : sidecars) {
        std::vector<std::string> item = checked.components;
        item.back().erase(0, 2);
        if (!builder.has(item) || !holdsAppleDouble(archive, stat.index, stat.name)) {
            builder.add(readEntry(archive, stat.index, stat, std::move(checked)));
        }
    }
    return std::move(builder).finish();
}

} // namespace bw::zip
