#pragma once

#include "platform/codesign/SealError.h"

#include <memory>
#include <regex.h>
#include <string>
#include <vector>

namespace bw::codesign {

// One rule of a resource seal: a POSIX extended regular expression over a path relative to the
// resource base, with its weight and flags. Without a weight a rule weighs 1.
struct ResourceRule {
    std::string pattern;
    double weight = 1;
    bool omit = false;     // matching items are not sealed at all
    bool optional = false; // a sealed item may be missing
    bool nested = false;   // matching code (Mach-O files, bundles) is sealed by its cdhash

    bool operator==(const ResourceRule&) const = default;
};

// The rules of a seal, compiled; the heaviest matching rule decides. Of equally heavy rules an
// omitting one wins, as with Apple's verifier; then the pattern that sorts first, so that the
// choice never depends on the order of a property list.
class ResourceRules {
public:
    // The rules compiled, or `invalidRule` naming the first pattern that does not compile.
    static SealResult<ResourceRules> compile(std::vector<ResourceRule> rules);
    ~ResourceRules();
    ResourceRules(ResourceRules&&) noexcept;
    ResourceRules& operator=(ResourceRules&&) noexcept;

    // The deciding rule for a relative path, or null when no rule matches (the item is not
    // sealed).
    const ResourceRule* match(const std::string& relativePath) const;

    const std::vector<ResourceRule>& rules() const { return rules_; }

private:
    explicit ResourceRules(std::vector<ResourceRule> rules);
    void release();

    std::vector<ResourceRule> rules_; // heaviest first
    std::vector<std::unique_ptr<regex_t>> compiled_;
};

// The rules a new seal gets when the signer is given none: everything is sealed, localisations
// are optional, the bundle's own Info.plist and PkgInfo are left to the signature itself, and
// code in the standard nested locations is sealed by cdhash.
std::vector<ResourceRule> defaultResourceRules();

} // namespace bw::codesign
