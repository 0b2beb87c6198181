#pragma once

#include "platform/codesign/BundleLayout.h"
#include "platform/codesign/Problem.h"
#include "platform/codesign/ResourceRules.h"

#include <filesystem>
#include <string>
#include <vector>

namespace bw::codesign {

// An item of a bundle that its rules say belongs in the resource seal.
struct BundleItem {
    enum class Kind { file, symlink, nestedCode };

    std::string relativePath; // relative to the resource base, '/' separated
    std::filesystem::path path;
    Kind kind = Kind::file;
    bool optional = false;
};

struct BundleWalk {
    std::vector<BundleItem> items; // sorted by relativePath
    Problems problems;             // folders that could not be read, contents outside Contents/
    // Code bundles that no nested rule covers (iOS seals have none), outermost only: their
    // files are items of their own, and a deep verification still verifies them as code.
    std::vector<BundleItem> unnestedCode;
};

// Walks the bundle below its resource base the way a signer seals it: items no rule matches or
// an omitting rule matches are left out, the signature folder and the main executable are
// sealed elsewhere, and nested code bundles are single items that are not descended into.
// Links are never followed.
BundleWalk walkBundle(const BundleLayout& layout, const ResourceRules& rules);

} // namespace bw::codesign
