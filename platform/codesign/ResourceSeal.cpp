#include "platform/codesign/ResourceSeal.h"

#include "platform/codesign/PlistAccess.h"

namespace bw::codesign {

namespace {

ResourceRule parseRule(const std::string& pattern, plist_t value) {
    ResourceRule rule;
    rule.pattern = pattern;
    if (auto flag = plist::boolean(value)) {
        // A bare false excludes the items it matches.
        rule.omit = !*flag;
        return rule;
    }
    if (!plist::isDictionary(value)) {
        throw ResourceSealError("resource rule " + pattern + " is neither a flag nor a dictionary");
    }
    rule.weight = plist::number(plist::item(value, "weight")).value_or(1);
    rule.omit = plist::boolean(plist::item(value, "omit")).value_or(false);
    rule.optional = plist::boolean(plist::item(value, "optional")).value_or(false);
    rule.nested = plist::boolean(plist::item(value, "nested")).value_or(false);
    return rule;
}

SealedItem parseItem(const std::string& path, plist_t value) {
    SealedItem item;
    if (auto hash = plist::data(value)) {
        // The short form: nothing but a SHA-1 hash.
        item.sha1 = *hash;
        return item;
    }
    if (!plist::isDictionary(value)) {
        throw ResourceSealError("sealed resource " + path + " has an invalid entry");
    }
    item.sha1 = plist::data(plist::item(value, "hash")).value_or(Bytes{});
    item.sha256 = plist::data(plist::item(value, "hash2")).value_or(Bytes{});
    item.symlink = plist::string(plist::item(value, "symlink"));
    item.cdhash = plist::data(plist::item(value, "cdhash")).value_or(Bytes{});
    item.requirement = plist::string(plist::item(value, "requirement"));
    item.optional = plist::boolean(plist::item(value, "optional")).value_or(false);
    bool sealsSomething =
        !item.sha1.empty() || !item.sha256.empty() || item.symlink || !item.cdhash.empty();
    if (!sealsSomething) {
        throw ResourceSealError("sealed resource " + path + " records no hash");
    }
    return item;
}

} // namespace

ResourceSeal parseResourceSeal(std::span<const std::uint8_t> bytes) {
    plist::Owned root = plist::parse(bytes);
    if (!plist::isDictionary(root.get())) {
        throw ResourceSealError("the resource seal is not a property list dictionary");
    }
    plist_t rules = plist::item(root.get(), "rules2");
    plist_t files = plist::item(root.get(), "files2");
    if (!plist::isDictionary(rules) || !plist::isDictionary(files)) {
        throw ResourceSealError("resource envelope is obsolete (version 1 signature)");
    }
    ResourceSeal seal;
    for (const auto& [pattern, value] : plist::entries(rules)) {
        seal.rules.push_back(parseRule(pattern, value));
    }
    for (const auto& [path, value] : plist::entries(files)) {
        seal.items.emplace(path, parseItem(path, value));
    }
    return seal;
}

} // namespace bw::codesign
