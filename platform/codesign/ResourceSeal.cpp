#include "platform/codesign/ResourceSeal.h"

#include "platform/plist/PlistValue.h"

#include <cmath>

namespace bw::codesign {

namespace {

using plist::PlistDictionary;
using plist::PlistValue;

std::optional<bool> flagAt(const PlistDictionary& dictionary, QStringView key) {
    const PlistValue* value = dictionary.find(key);
    return value != nullptr ? value->boolean() : std::nullopt;
}

Bytes bytesAt(const PlistDictionary& dictionary, QStringView key) {
    const PlistValue* value = dictionary.find(key);
    const QByteArray* data = value != nullptr ? value->data() : nullptr;
    return data != nullptr ? Bytes(data->begin(), data->end()) : Bytes{};
}

std::optional<std::string> textAt(const PlistDictionary& dictionary, QStringView key) {
    const QString* text = plist::stringEntry(dictionary, key);
    return text != nullptr ? std::optional(text->toStdString()) : std::nullopt;
}

double weightAt(const PlistDictionary& dictionary) {
    const PlistValue* value = dictionary.find(u"weight");
    if (value == nullptr) {
        return 1;
    }
    if (auto integer = value->integer()) {
        return static_cast<double>(*integer);
    }
    return value->real().value_or(1);
}

SealError malformed(std::string reason) {
    return {SealError::Kind::malformed, std::move(reason)};
}

SealResult<ResourceRule> parseRule(const std::string& pattern, const PlistValue& value) {
    ResourceRule rule;
    rule.pattern = pattern;
    if (auto flag = value.boolean()) {
        // A bare false excludes the items it matches.
        rule.omit = !*flag;
        return rule;
    }
    const PlistDictionary* entries = value.dictionary();
    if (entries == nullptr) {
        return malformed("resource rule " + pattern + " is neither a flag nor a dictionary");
    }
    rule.weight = weightAt(*entries);
    if (std::isnan(rule.weight)) {
        // Heavier than nothing and lighter than nothing, it would leave the deciding rule to the
        // order of the property list.
        return malformed("resource rule " + pattern + " has a weight that is not a number");
    }
    rule.omit = flagAt(*entries, u"omit").value_or(false);
    rule.optional = flagAt(*entries, u"optional").value_or(false);
    rule.nested = flagAt(*entries, u"nested").value_or(false);
    return rule;
}

SealResult<SealedItem> parseItem(const std::string& path, const PlistValue& value) {
    SealedItem item;
    if (const QByteArray* hash = value.data()) {
        // The short form: nothing but a SHA-1 hash.
        item.sha1 = Bytes(hash->begin(), hash->end());
        return item;
    }
    const PlistDictionary* entries = value.dictionary();
    if (entries == nullptr) {
        return malformed("sealed resource " + path + " has an invalid entry");
    }
    item.sha1 = bytesAt(*entries, u"hash");
    item.sha256 = bytesAt(*entries, u"hash2");
    item.symlink = textAt(*entries, u"symlink");
    item.cdhash = bytesAt(*entries, u"cdhash");
    item.requirement = textAt(*entries, u"requirement");
    item.optional = flagAt(*entries, u"optional").value_or(false);
    bool sealsSomething =
        !item.sha1.empty() || !item.sha256.empty() || item.symlink || !item.cdhash.empty();
    if (!sealsSomething) {
        return malformed("sealed resource " + path + " records no hash");
    }
    return item;
}

} // namespace

SealResult<ResourceSeal> parseResourceSeal(std::span<const std::uint8_t> bytes) {
    const auto root = PlistValue::parse(QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                                   static_cast<qsizetype>(bytes.size())));
    const PlistDictionary* top = root ? root->dictionary() : nullptr;
    if (top == nullptr) {
        return malformed("the resource seal is not a property list dictionary");
    }
    const PlistValue* rules = top->find(u"rules2");
    const PlistValue* files = top->find(u"files2");
    if (rules == nullptr || files == nullptr || rules->dictionary() == nullptr ||
        files->dictionary() == nullptr) {
        return SealError{SealError::Kind::obsoleteEnvelope, obsoleteEnvelope};
    }
    ResourceSeal seal;
    for (const auto& [pattern, value] : *rules->dictionary()) {
        BW_TRY(rule, parseRule(pattern.toStdString(), value));
        seal.rules.push_back(std::move(rule).value());
    }
    for (const auto& [path, value] : *files->dictionary()) {
        BW_TRY(item, parseItem(path.toStdString(), value));
        seal.items.emplace(path.toStdString(), std::move(item).value());
    }
    return seal;
}

} // namespace bw::codesign
