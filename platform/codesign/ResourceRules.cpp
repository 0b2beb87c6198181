#include "platform/codesign/ResourceRules.h"

#include <algorithm>
#include <optional>
#include <string_view>

namespace bw::codesign {

namespace {

// The rules come from the untrusted bundle, and glibc's regcomp copies a subexpression once for
// every repetition an interval allows, taking memory quadratic in the result ("a{0,30000}" alone
// takes gigabytes). Xcode's rules come to a few hundred items in all.
constexpr std::size_t maximumRulesSize = 2048;

// Its closure computation is exponential, too, in repetitions of repetitions: "^a*+++++" alone
// takes minutes, "^(a*)*" repeated 200 times as long. Each repetition counts the repetitions its
// item already holds; Xcode's rules come to one at most ("^(.*/)?").
constexpr std::size_t maximumStacking = 6;

std::size_t capped(std::size_t value) {
    return std::min(value, maximumRulesSize + 1);
}

std::size_t times(std::size_t a, std::size_t b) {
    return b != 0 && a > maximumRulesSize / b ? maximumRulesSize + 1 : a * b;
}

// Just past the bracket expression that opens at `at` (the end when it does not close, which
// regcomp refuses).
std::size_t bracketEnd(std::string_view pattern, std::size_t at) {
    std::size_t i = at + 1;
    i += i < pattern.size() && pattern[i] == '^';
    i += i < pattern.size() && pattern[i] == ']'; // a leading ']' stands for itself
    while (i < pattern.size() && pattern[i] != ']') {
        const char kind = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
        if (pattern[i] == '[' && (kind == ':' || kind == '.' || kind == '=')) {
            i = std::min(pattern.find(std::string{kind, ']'}, i + 2), pattern.size()) + 2;
        } else {
            ++i;
        }
    }
    return std::min(i + 1, pattern.size());
}

struct Repetition {
    std::size_t copies;
    std::size_t end; // just past the interval
};

// The copies regcomp makes for the interval ("{m}", "{m,}", "{m,n}", "{,n}") opening at `at`.
std::optional<Repetition> interval(std::string_view pattern, std::size_t at) {
    std::size_t bounds[2] = {0, 0};
    bool comma = false;
    for (std::size_t i = at + 1; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '}') {
            const std::size_t most = std::max(bounds[0], bounds[1]);
            return Repetition{comma && bounds[1] == 0 ? most + 1 : std::max<std::size_t>(most, 1),
                              i + 1};
        }
        if (c == ',' && !comma) {
            comma = true;
        } else if (c >= '0' && c <= '9') {
            bounds[comma] = capped(bounds[comma] * 10 + std::size_t(c - '0'));
        } else {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

// How many items regcomp makes of an extended expression once its repetitions are copied out,
// at most just above the limit; above it too for back references, which make matching
// exponential, and for repetitions stacked too much.
std::size_t expandedSize(std::string_view pattern) {
    struct Group {
        std::size_t size = 0;
        std::size_t last = 0;      // the item a repetition applies to
        std::size_t lastDepth = 0; // how many repetitions that item stacks
        std::size_t depth = 0;     // the most any item of the group stacks
    };
    std::vector<Group> groups(1);
    std::size_t stacking = 0;
    const auto add = [&](std::size_t item, std::size_t depth = 0) {
        groups.back().size = capped(groups.back().size + item);
        groups.back().last = item;
        groups.back().lastDepth = depth;
    };
    // False when repetitions stack too much.
    const auto repeat = [&](std::size_t copies) {
        Group& group = groups.back();
        const std::size_t repeated = times(group.last, copies);
        group.size = capped(group.size - group.last + repeated);
        group.last = repeated;
        stacking += group.lastDepth;
        group.depth = std::max(group.depth, ++group.lastDepth);
        return stacking <= maximumStacking;
    };
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '\\' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            return maximumRulesSize + 1;
        }
        if (c == '\\') {
            ++i;
            add(1);
        } else if (c == '[') {
            i = bracketEnd(pattern, i) - 1;
            add(1);
        } else if (c == '(') {
            groups.emplace_back();
        } else if (c == ')' && groups.size() > 1) {
            const std::size_t size = std::max<std::size_t>(groups.back().size, 1);
            const std::size_t depth = groups.back().depth;
            groups.pop_back();
            add(size, depth);
        } else if (c == '|') {
            groups.back().last = 0;
            groups.back().lastDepth = 0;
        } else if ((c == '*' || c == '?') && !repeat(1)) {
            return maximumRulesSize + 1;
        } else if (c == '+' && !repeat(2)) {
            return maximumRulesSize + 1;
        } else if (const auto repetition = c == '{' ? interval(pattern, i) : std::nullopt) {
            if (!repeat(repetition->copies)) {
                return maximumRulesSize + 1;
            }
            i = repetition->end - 1;
        } else if (c != '*' && c != '?' && c != '+' && c != '^' && c != '$') {
            add(1);
        }
    }
    std::size_t size = 0;
    for (const Group& group : groups) {
        size = capped(size + group.size);
    }
    return size;
}

} // namespace

SealResult<ResourceRules> ResourceRules::compile(std::vector<ResourceRule> rules) {
    ResourceRules compiled(std::move(rules));
    std::size_t size = 0;
    for (const ResourceRule& rule : compiled.rules_) {
        size = capped(size + expandedSize(rule.pattern));
        if (size > maximumRulesSize) {
            return SealError{SealError::Kind::invalidRule, "the resource rules are too large"};
        }
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
