#include "platform/codesign/ResourceSealVerifier.h"

#include "platform/codesign/FileHashing.h"
#include "platform/codesign/ResourceWalk.h"

#include <algorithm>
#include <set>

namespace bw::codesign {

namespace stdfs = std::filesystem;

namespace {

bool isSafeRelativePath(const std::string& path) {
    if (path.empty() || path.front() == '/') {
        return false;
    }
    for (const auto& part : stdfs::path(path)) {
        if (part == ".." || part == ".") {
            return false;
        }
    }
    return true;
}

class SealChecker {
public:
    SealChecker(const BundleLayout& layout, const ResourceSeal& seal,
                const ResourceSealOptions& options)
        : layout_(layout), seal_(seal), options_(options) {}

    ResourceSealCheck run() {
        const SealResult<ResourceRules> rules = ResourceRules::compile(seal_.rules);
        if (!rules) {
            fail(layout_.codeResources, "invalid resource rules in the seal");
            return std::move(check_);
        }
        BundleWalk walk = walkBundle(layout_, *rules);
        check_.problems = walk.problems;
        for (const BundleItem& code : walk.unnestedCode) {
            check_.nested.push_back({code.relativePath, code.path, nullptr, true});
        }
        std::set<std::string> seen;
        for (const BundleItem& item : walk.items) {
            seen.insert(item.relativePath);
            checkItem(item);
        }
        checkSealedItemsNotWalked(seen);
        hashQueuedFiles();
        std::sort(check_.problems.begin(), check_.problems.end(), [](const auto& a, const auto& b) {
            bool aFile = a.change != ResourceChange::none;
            bool bFile = b.change != ResourceChange::none;
            return aFile != bFile ? bFile : a.path < b.path;
        });
        return std::move(check_);
    }

private:
    void fail(const stdfs::path& path, std::string message) {
        check_.problems.push_back({path.string(), std::move(message)});
    }
    void changed(const stdfs::path& path, ResourceChange change) {
        check_.problems.push_back({path.string(), resourceReason, change});
    }

    void checkItem(const BundleItem& item) {
        auto found = seal_.items.find(item.relativePath);
        const SealedItem* sealed = found == seal_.items.end() ? nullptr : &found->second;
        if (item.kind == BundleItem::Kind::symlink) {
            checkSymlink(item, sealed);
            return;
        }
        if (item.kind == BundleItem::Kind::nestedCode) {
            check_.nested.push_back({item.relativePath, item.path, sealed});
        }
        if (sealed == nullptr) {
            changed(item.path, ResourceChange::added);
            return;
        }
        if (sealed->symlink) {
            changed(item.path, ResourceChange::modified); // sealed as a symbolic link
            return;
        }
        bool hashed = !sealed->sha1.empty() || !sealed->sha256.empty();
        if (item.kind == BundleItem::Kind::nestedCode && !hashed) {
            return; // sealed by cdhash, compared by the caller
        }
        if (!hashed || !stdfs::is_regular_file(stdfs::symlink_status(item.path))) {
            changed(item.path, ResourceChange::modified); // the seal records nested code here
            return;
        }
        queue_.push_back({item.path, !sealed->sha1.empty(), !sealed->sha256.empty()});
        queuedItems_.push_back(sealed);
    }

    void checkSymlink(const BundleItem& item, const SealedItem* sealed) {
        std::error_code ec;
        std::string target = stdfs::read_symlink(item.path, ec).string();
        std::string fromRoot = item.path.lexically_relative(layout_.root).generic_string();
        if (options_.strict && !symlinkStaysInside(fromRoot, target)) {
            fail(item.path, "invalid destination for symbolic link in bundle");
        }
        if (sealed == nullptr) {
            changed(item.path, ResourceChange::added);
        } else if (!sealed->symlink || *sealed->symlink != target) {
            changed(item.path, ResourceChange::modified);
        }
    }

    // Sealed items the walk did not produce: missing ones, and ones the rules no longer cover
    // (still checked, since the seal vouches for them).
    void checkSealedItemsNotWalked(const std::set<std::string>& seen) {
        for (const auto& [relative, sealed] : seal_.items) {
            if (seen.contains(relative)) {
                continue;
            }
            stdfs::path path = layout_.resourceBase / relative;
            if (!isSafeRelativePath(relative)) {
                fail(layout_.codeResources, "the sealed resource directory is invalid");
                continue;
            }
            std::error_code ec;
            stdfs::file_status status = stdfs::symlink_status(path, ec);
            if (!stdfs::exists(status)) {
                if (!sealed.optional) {
                    changed(path, ResourceChange::missing);
                }
                continue;
            }
            BundleItem item{relative, path, BundleItem::Kind::file, sealed.optional};
            if (stdfs::is_symlink(status)) {
                item.kind = BundleItem::Kind::symlink;
            } else if (!sealed.cdhash.empty()) {
                item.kind = BundleItem::Kind::nestedCode;
            }
            checkItem(item);
        }
    }

    void hashQueuedFiles() {
        std::vector<FileHashResult> results = hashFiles(queue_, options_.hashThreads);
        for (std::size_t i = 0; i < results.size(); ++i) {
            const SealedItem& sealed = *queuedItems_[i];
            const FileHashResult& result = results[i];
            // A file that cannot be read cannot match its seal either.
            if (!result.error.empty() || result.sha1 != sealed.sha1 ||
                result.sha256 != sealed.sha256) {
                changed(queue_[i].path, ResourceChange::modified);
            }
        }
    }

    const BundleLayout& layout_;
    const ResourceSeal& seal_;
    const ResourceSealOptions& options_;
    ResourceSealCheck check_;
    std::vector<FileHashRequest> queue_;
    std::vector<const SealedItem*> queuedItems_;
};

} // namespace

bool symlinkStaysInside(const std::string& linkPath, const std::string& target) {
    if (target.empty() || target.front() == '/') {
        return false;
    }
    stdfs::path resolved = (stdfs::path(linkPath).parent_path() / target).lexically_normal();
    std::string text = resolved.generic_string();
    return !(text == ".." || text.starts_with("../"));
}

ResourceSealCheck verifyResourceSeal(const BundleLayout& layout, const ResourceSeal& seal,
                                     const ResourceSealOptions& options) {
    return SealChecker(layout, seal, options).run();
}

} // namespace bw::codesign
