#include "platform/codesign/DerEntitlements.h"

#include "platform/plist/PlistValue.h"

namespace bw::codesign {

namespace {

using plist::PlistArray;
using plist::PlistDictionary;
using plist::PlistValue;

constexpr std::uint8_t booleanTag = 0x01;
constexpr std::uint8_t integerTag = 0x02;
constexpr std::uint8_t utf8StringTag = 0x0c;
constexpr std::uint8_t sequenceTag = 0x30;
constexpr std::uint8_t dictionaryTag = 0xb0;   // [16], constructed, context-specific
constexpr std::uint8_t entitlementsTag = 0x70; // [16], constructed, application
// Damaged input must not recurse without end.
constexpr int maximumDepth = 64;

struct Element {
    std::uint8_t tag = 0;
    std::span<const std::uint8_t> content;
};

// Reads one definite-length element from the front of `bytes` and moves past it.
std::optional<Element> next(std::span<const std::uint8_t>& bytes) {
    if (bytes.size() < 2) {
        return std::nullopt;
    }
    Element element{bytes[0], {}};
    std::size_t length = bytes[1];
    std::size_t header = 2;
    if (length & 0x80) {
        const std::size_t digits = length & 0x7f;
        if (digits == 0 || digits > 4 || bytes.size() < 2 + digits) {
            return std::nullopt;
        }
        length = 0;
        for (std::size_t i = 0; i < digits; ++i) {
            length = (length << 8) | bytes[2 + i];
        }
        header += digits;
    }
    if (length > bytes.size() - header) {
        return std::nullopt;
    }
    element.content = bytes.subspan(header, length);
    bytes = bytes.subspan(header + length);
    return element;
}

std::optional<PlistValue> value(const Element& element, int depth);

std::optional<PlistValue> integer(std::span<const std::uint8_t> content) {
    if (content.empty() || content.size() > 8) {
        return std::nullopt;
    }
    // Two's complement, sign-extended from the first byte.
    std::uint64_t bits = (content[0] & 0x80) ? ~std::uint64_t{0} : 0;
    for (std::uint8_t byte : content) {
        bits = (bits << 8) | byte;
    }
    return PlistValue(static_cast<qint64>(bits));
}

std::optional<PlistValue> array(std::span<const std::uint8_t> content, int depth) {
    PlistArray items;
    while (!content.empty()) {
        const std::optional<Element> item = next(content);
        std::optional<PlistValue> parsed = item ? value(*item, depth + 1) : std::nullopt;
        if (!parsed) {
            return std::nullopt;
        }
        items.push_back(std::move(*parsed));
    }
    return PlistValue(std::move(items));
}

std::optional<PlistValue> dictionary(std::span<const std::uint8_t> content, int depth) {
    std::vector<PlistDictionary::Entry> entries;
    while (!content.empty()) {
        const std::optional<Element> pair = next(content);
        if (!pair || pair->tag != sequenceTag) {
            return std::nullopt;
        }
        std::span<const std::uint8_t> fields = pair->content;
        const std::optional<Element> key = next(fields);
        const std::optional<Element> item = next(fields);
        if (!key || key->tag != utf8StringTag || !item || !fields.empty()) {
            return std::nullopt;
        }
        std::optional<PlistValue> parsed = value(*item, depth + 1);
        if (!parsed) {
            return std::nullopt;
        }
        entries.emplace_back(QString::fromUtf8(reinterpret_cast<const char*>(key->content.data()),
                                               static_cast<qsizetype>(key->content.size())),
                             std::move(*parsed));
    }
    return PlistValue(PlistDictionary(std::move(entries)));
}

std::optional<PlistValue> value(const Element& element, int depth) {
    if (depth > maximumDepth) {
        return std::nullopt;
    }
    switch (element.tag) {
    case booleanTag:
        if (element.content.size() != 1) {
            return std::nullopt;
        }
        return PlistValue(element.content[0] != 0);
    case integerTag:
        return integer(element.content);
    case utf8StringTag:
        return PlistValue(QString::fromUtf8(reinterpret_cast<const char*>(element.content.data()),
                                            static_cast<qsizetype>(element.content.size())));
    case sequenceTag:
        return array(element.content, depth);
    case dictionaryTag:
        return dictionary(element.content, depth);
    default:
        return std::nullopt;
    }
}

} // namespace

std::optional<Bytes> entitlementsXmlFromDer(std::span<const std::uint8_t> der) {
    const std::optional<Element> outer = next(der);
    if (!outer || outer->tag != entitlementsTag || !der.empty()) {
        return std::nullopt;
    }
    std::span<const std::uint8_t> fields = outer->content;
    const std::optional<Element> version = next(fields);
    const std::optional<Element> body = next(fields);
    if (!version || version->tag != integerTag ||
        integer(version->content) != PlistValue(qint64{1}) || !body || body->tag != dictionaryTag ||
        !fields.empty()) {
        return std::nullopt;
    }
    const std::optional<PlistValue> entitlements = value(*body, 0);
    if (!entitlements) {
        return std::nullopt;
    }
    const QByteArray xml = entitlements->toXml();
    return Bytes(xml.begin(), xml.end());
}

} // namespace bw::codesign
