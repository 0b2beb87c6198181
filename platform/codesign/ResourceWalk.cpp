#include "platform/codesign/ResourceWalk.h"

#include <algorithm>

namespace bw::codesign {

namespace stdfs = std::filesystem;

namespace {

class Walker {
public:
    Walker(const BundleLayout& layout, const ResourceRules& rules)
        : layout_(layout), rules_(rules),
          executable_(layout.executableRelativePath().value_or(std::string{})) {}

    BundleWalk run() {
        checkBundleRoot();
        visitFolder(layout_.resourceBase, "");
        const auto byPath = [](const auto& a, const auto& b) {
            return a.relativePath < b.relativePath;
        };
        std::sort(walk_.items.begin(), walk_.items.end(), byPath);
        std::sort(walk_.unnestedCode.begin(), walk_.unnestedCode.end(), byPath);
        return std::move(walk_);
    }

private:
    // A macOS bundle seals only Contents/: anything else at its top escapes the seal.
    void checkBundleRoot() {
        if (!layout_.contentsFolder) {
            return;
        }
        std::error_code ec;
        for (const auto& entry : stdfs::directory_iterator(layout_.root, ec)) {
            if (entry.path().filename() != "Contents") {
                walk_.problems.push_back(
                    {entry.path().string(), "unsealed contents present in the bundle root"});
            }
        }
    }

    void visitFolder(const stdfs::path& folder, const std::string& prefix) {
        std::error_code ec;
        stdfs::directory_iterator it(folder, ec);
        if (ec) {
            walk_.problems.push_back({folder.string(), resourceReason, ResourceChange::modified});
            return;
        }
        for (const auto& entry : it) {
            std::string name = entry.path().filename().string();
            std::string relative = prefix + name;
            if (isExcluded(relative)) {
                continue;
            }
            visitEntry(entry, relative);
        }
    }

    // What a signer leaves out whatever the rules say: the signature folder, the old link to
    // the seal, the Mac App Store receipt (added after signing) and the main executable.
    bool isExcluded(const std::string& relative) const {
        return relative == "_CodeSignature" || relative == "CodeResources" ||
               relative == "_MASReceipt" || relative == executable_;
    }

    void visitEntry(const stdfs::directory_entry& entry, const std::string& relative) {
        std::error_code ec;
        stdfs::file_status status = entry.symlink_status(ec);
        const ResourceRule* rule = rules_.match(relative);
        if (stdfs::is_directory(status)) {
            if (rule != nullptr && rule->omit) {
                return;
            }
            const bool code = rule != nullptr && isCodeBundle(entry.path());
            if (code && rule->nested) {
                add(entry.path(), relative, BundleItem::Kind::nestedCode, *rule);
                return;
            }
            // Code inside such code is verified by its own container, once.
            if (code && insideCode_ == 0) {
                walk_.unnestedCode.push_back(
                    {relative, entry.path(), BundleItem::Kind::nestedCode, rule->optional});
            }
            insideCode_ += code ? 1 : 0;
            visitFolder(entry.path(), relative + "/");
            insideCode_ -= code ? 1 : 0;
            return;
        }
        if (rule == nullptr || rule->omit) {
            return;
        }
        if (stdfs::is_symlink(status)) {
            add(entry.path(), relative, BundleItem::Kind::symlink, *rule);
        } else if (rule->nested && stdfs::is_regular_file(status) && looksLikeMachO(entry.path())) {
            add(entry.path(), relative, BundleItem::Kind::nestedCode, *rule);
        } else {
            // Sockets, devices and the like are reported as files: hashing them fails loudly.
            add(entry.path(), relative, BundleItem::Kind::file, *rule);
        }
    }

    void add(const stdfs::path& path, const std::string& relative, BundleItem::Kind kind,
             const ResourceRule& rule) {
        walk_.items.push_back({relative, path, kind, rule.optional});
    }

    const BundleLayout& layout_;
    const ResourceRules& rules_;
    std::string executable_;
    int insideCode_ = 0; // depth of the code bundles being walked as plain folders
    BundleWalk walk_;
};

} // namespace

BundleWalk walkBundle(const BundleLayout& layout, const ResourceRules& rules) {
    return Walker(layout, rules).run();
}

} // namespace bw::codesign
