// Zip-entry validation: whatever the bytes, an accepted entry name never leaves the
// destination, an accepted link target never climbs above it, and a plan built from an archive
// names each path once, with every folder before what it holds.

#include "platform/zip/Archive.h"
#include "platform/zip/EntryName.h"
#include "platform/zip/ExtractionError.h"
#include "platform/zip/ExtractionPlan.h"
#include "platform/zip/LinkTarget.h"
#include "tests/fuzz/Fuzz.h"

#include <set>
#include <string>
#include <string_view>

using namespace bw::zip;

using bw::fuzz::require;

namespace {

void requireSafeComponents(const std::vector<std::string>& components) {
    require(!components.empty());
    for (const std::string& component : components) {
        require(!component.empty() && component != "." && component != "..");
        require(component.find('/') == std::string::npos);
        require(component.find('\0') == std::string::npos);
    }
}

void checkName(std::string_view name) {
    const CheckedEntryName checked = checkEntryName(name);
    if (checked.verdict == EntryNameVerdict::accepted) {
        requireSafeComponents(checked.components);
    } else {
        require(checked.components.empty());
    }
}

// An accepted target, walked lexically from its link's folder, never goes above the root.
void checkLinkTarget(std::string_view target, std::size_t depth) {
    if (!linkTargetStaysInside(target, depth)) {
        return;
    }
    require(!target.empty() && target.front() != '/');
    long level = long(depth);
    std::size_t start = 0;
    while (start <= target.size()) {
        const std::size_t slash = target.find('/', start);
        const std::size_t end = slash == std::string_view::npos ? target.size() : slash;
        const std::string_view component = target.substr(start, end - start);
        start = end + 1;
        if (component == "..") {
            require(--level >= 0);
        } else if (!component.empty() && component != ".") {
            ++level;
        }
    }
}

void checkPlan(const ExtractionPlan& plan) {
    std::set<std::string> folders;
    std::set<std::string> seen;
    for (const auto* list : {&plan.directories, &plan.files, &plan.links}) {
        for (const PlannedEntry& entry : *list) {
            requireSafeComponents(entry.path);
            if (entry.path.size() > 1) {
                require(folders.count(joinedPath({entry.path.begin(), entry.path.end() - 1})) == 1);
            }
            require((entry.mode & ~mode_t(0777)) == 0);
            const std::string path = joinedPath(entry.path);
            require(seen.insert(path).second);
            if (list == &plan.directories) {
                folders.insert(path);
            }
        }
    }
    for (const PlannedEntry& link : plan.links) {
        require(linkTargetStaysInside(link.linkTarget, link.path.size() - 1));
        require(link.linkTarget.size() <= link.size);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    checkName(text);
    checkLinkTarget(text, size % 8);

    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(data, size, 0, &error);
    zip_t* handle = source != nullptr ? zip_open_from_source(source, ZIP_RDONLY, &error) : nullptr;
    zip_error_fini(&error);
    if (handle == nullptr) {
        zip_source_free(source);
        return 0;
    }
    const Archive archive(handle);
    try {
        checkPlan(planExtraction(archive));
    } catch (const ExtractionError&) {
    }
    return 0;
}
