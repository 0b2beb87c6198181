#pragma once

#include "platform/codesign/BundleLayout.h"
#include "platform/codesign/Problem.h"
#include "platform/codesign/ResourceSeal.h"

#include <filesystem>
#include <string>
#include <vector>

namespace bw::codesign {

// Nested code found while checking a seal, with what the seal recorded for it (null when the
// seal does not list it: an added file, or code whose files are sealed one by one).
struct NestedCode {
    std::string relativePath;
    std::filesystem::path path;
    const SealedItem* sealed = nullptr;
    bool sealedAsFiles = false; // no nested rule covers it; only a deep verification looks at it
};

struct ResourceSealCheck {
    Problems problems;
    std::vector<NestedCode> nested;
};

struct ResourceSealOptions {
    bool strict = false; // links out of the bundle fail
    unsigned hashThreads = 1;
};

// Compares a bundle with its seal: every sealed item must be present (unless optional) and
// match, every item the rules seal must be listed. Plain files are hashed in parallel. Problems
// come sorted by path, those about single files after the others. The seal must outlive the
// result (nested items point into it).
ResourceSealCheck verifyResourceSeal(const BundleLayout& layout, const ResourceSeal& seal,
                                     const ResourceSealOptions& options);

// True when a link stored at `linkPath` (relative to the bundle root) with this target stays
// inside the bundle.
bool symlinkStaysInside(const std::string& linkPath, const std::string& target);

} // namespace bw::codesign
