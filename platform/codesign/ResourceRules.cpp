#include "platform/codesign/ResourceRules.h"

#include <algorithm>

namespace bw::codesign {

SealResult<ResourceRules> ResourceRules::compile(std::vector<ResourceRule> rules) {
    ResourceRules compiled(std::move(rules));
    for (const ResourceRule& rule : compiled.rules_) {
        auto regex = std::make_unique<regex_t>();
        if (regcomp(regex.get(), rule.pattern.c_str(), REG_EXTENDED | REG_NOSUB) != 0) {
            return SealError{SealError::Kind::invalidRule,
                             "invalid resource rule pattern: " + rule.pattern};
        }
        compiled.compiled_.push_back(std::move(regex));
    }
    return compiled;
}

ResourceRules::ResourceRules(std::vector<ResourceRule> rules) : rules_(std::move(rules)) {
    std::stable_sort(rules_.begin(), rules_.end(), [](const auto& a, const auto& b) {
        if (a.weight != b.weight) {
            return a.weight > b.weight;
        }
        // Xcode's iOS seals rely on this: "^" and "^Info\.plist$" both weigh 20.
        if (a.omit != b.omit) {
            return a.omit;
        }
        return a.pattern < b.pattern;
    });
}

ResourceRules::~ResourceRules() {
    release();
}

ResourceRules::ResourceRules(ResourceRules&& other) noexcept = default;

ResourceRules& ResourceRules::operator=(ResourceRules&& other) noexcept {
    if (this != &other) {
        release();
        rules_ = std::move(other.rules_);
        compiled_ = std::move(other.compiled_);
    }
    return *this;
}

void ResourceRules::release() {
    for (auto& regex : compiled_) {
        if (regex) {
            regfree(regex.get());
        }
    }
    compiled_.clear();
}

const ResourceRule* ResourceRules::match(const std::string& relativePath) const {
    for (std::size_t i = 0; i < compiled_.size(); ++i) {
        if (regexec(compiled_[i].get(), relativePath.c_str(), 0, nullptr, 0) == 0) {
            return &rules_[i];
        }
    }
    return nullptr;
}

std::vector<ResourceRule> defaultResourceRules() {
    const std::string nestedFolders =
        "^(Frameworks|SharedFrameworks|PlugIns|Plug-ins|XPCServices|Helpers|MacOS|Watch|AppClips|"
        "Library/(Automator|Spotlight|LoginItems))/";
    return {
        {"^.*", 1, false, false, false},
        {"^.*\\.lproj/", 1000, false, true, false},
        {"^.*\\.lproj/locversion.plist$", 1100, true, false, false},
        {"^Base\\.lproj/", 1010, false, false, false},
        {"^(.*/)?\\.DS_Store$", 2000, true, false, false},
        {"^Info\\.plist$", 20, true, false, false},
        {"^PkgInfo$", 20, true, false, false},
        {"^embedded\\.(mobileprovision|provisionprofile)$", 20, false, false, false},
        {"^version\\.plist$", 20, false, false, false},
        {nestedFolders, 10, false, false, true},
        {"^[^/]+$", 10, false, false, true},
        {"^.*\\.dSYM($|/)", 11, false, false, false},
    };
}

} // namespace bw::codesign
