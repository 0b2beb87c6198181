#include "platform/plist/PlistValue.h"

#include "platform/plist/BinaryPlistReader.h"

#include <QStringDecoder>
#include <QTimeZone>
#include <algorithm>
#include <limits>
#include <memory>
#include <plist/plist.h>

namespace bw::plist {

namespace {

// Property-list dates count seconds from the start of 2001 (UTC).
const QDateTime& referenceDate() {
    static const QDateTime date(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);
    return date;
}

struct NodeDeleter {
    void operator()(plist_t node) const { plist_free(node); }
};
using Node = std::unique_ptr<void, NodeDeleter>;

// Nesting deeper than this is refused rather than recursed into.
constexpr int maxDepth = 512;

std::optional<PlistValue> fromNode(plist_t node, int depth);

// The platform reads XML property lists in UTF-8, UTF-16 and UTF-32, told apart by a byte-order
// mark or, for UTF-16 without one, by a zero byte among the first two; libplist reads only UTF-8
// without a mark. Absent when the text does not decode.
std::optional<QByteArray> xmlInUtf8(const QByteArray& bytes) {
    using Encoding = QStringConverter::Encoding;
    struct Mark {
        QByteArrayView bytes;
        Encoding encoding;
    };
    // UTF-32LE before UTF-16LE: its mark starts with the other's.
    static const Mark marks[] = {{QByteArrayView("\x00\x00\xFE\xFF", 4), Encoding::Utf32BE},
                                 {QByteArrayView("\xFF\xFE\x00\x00", 4), Encoding::Utf32LE},
                                 {QByteArrayView("\xEF\xBB\xBF"), Encoding::Utf8},
                                 {QByteArrayView("\xFE\xFF"), Encoding::Utf16BE},
                                 {QByteArrayView("\xFF\xFE"), Encoding::Utf16LE}};
    qsizetype skip = 0;
    std::optional<Encoding> encoding;
    for (const Mark& mark : marks) {
        if (bytes.startsWith(mark.bytes)) {
            skip = mark.bytes.size();
            encoding = mark.encoding;
            break;
        }
    }
    if (!encoding && bytes.size() >= 2 && (bytes[0] == 0 || bytes[1] == 0)) {
        encoding = bytes[0] == 0 ? Encoding::Utf16BE : Encoding::Utf16LE;
    }
    if (!encoding) {
        return bytes;
    }
    QStringDecoder decoder(*encoding, QStringDecoder::Flag::Stateless);
    const QString text = decoder(QByteArrayView(bytes).sliced(skip));
    if (decoder.hasError()) {
        return std::nullopt;
    }
    return text.toUtf8();
}

// libplist hands dates out as 32-bit seconds, which end before 1933 and after 2069 (and come out
// as the lowest value then); its XML writer keeps the whole date, to the second.
QDateTime wideDate(plist_t node) {
    const Node copy(plist_copy(node));
    char* xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(copy.get(), &xml, &length);
    const QString text = QString::fromUtf8(xml, static_cast<qsizetype>(length));
    free(xml);
    const qsizetype start = text.indexOf(QStringLiteral("<date>"));
    const qsizetype end = text.indexOf(QStringLiteral("</date>"));
    if (start < 0 || end < start) {
        return referenceDate().addSecs(std::numeric_limits<int32_t>::min());
    }
    const qsizetype from = start + 6;
    QDateTime date = QDateTime::fromString(text.mid(from, end - from), Qt::ISODate);
    date.setTimeZone(QTimeZone::utc());
    return date;
}

// plist_new_date takes 32-bit seconds too, which would wrap; the XML reader keeps the whole date
// (to the second, as the XML form holds it).
plist_t wideDateNode(const QDateTime& date) {
    const QByteArray xml =
        "<plist><date>" + date.toUTC().toString(Qt::ISODate).toLatin1() + "</date></plist>";
    plist_t node = nullptr;
    plist_from_xml(xml.constData(), static_cast<uint32_t>(xml.size()), &node);
    return node;
}

std::optional<PlistValue> arrayFromNode(plist_t node, int depth) {
    PlistArray items;
    const uint32_t count = plist_array_get_size(node);
    items.reserve(count);
    for (uint32_t index = 0; index < count; ++index) {
        auto item = fromNode(plist_array_get_item(node, index), depth + 1);
        if (!item) {
            return std::nullopt;
        }
        items.push_back(std::move(*item));
    }
    return PlistValue(std::move(items));
}

std::optional<PlistValue> dictionaryFromNode(plist_t node, int depth) {
    std::vector<PlistDictionary::Entry> entries;
    plist_dict_iter iterator = nullptr;
    plist_dict_new_iter(node, &iterator);
    if (iterator == nullptr) {
        return std::nullopt;
    }
    while (true) {
        char* key = nullptr;
        plist_t item = nullptr;
        plist_dict_next_item(node, iterator, &key, &item);
        if (key == nullptr) {
            break;
        }
        const QString name = QString::fromUtf8(key);
        free(key);
        auto value = fromNode(item, depth + 1);
        if (!value) {
            free(iterator);
            return std::nullopt;
        }
        entries.emplace_back(name, std::move(*value));
    }
    free(iterator);
    return PlistValue(PlistDictionary(std::move(entries)));
}

std::optional<PlistValue> fromNode(plist_t node, int depth) {
    if (node == nullptr || depth > maxDepth) {
        return std::nullopt;
    }
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        uint8_t value = 0;
        plist_get_bool_val(node, &value);
        return PlistValue(value != 0);
    }
    case PLIST_UINT:
    case PLIST_UID: {
        // Negative integers arrive in two's complement.
        uint64_t value = 0;
        if (plist_get_node_type(node) == PLIST_UID) {
            plist_get_uid_val(node, &value);
        } else {
            plist_get_uint_val(node, &value);
        }
        return PlistValue(static_cast<qint64>(value));
    }
    case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        return PlistValue(value);
    }
    case PLIST_STRING: {
        // Read through the pointer: the copying getter asserts on texts holding a NUL, which a
        // crafted binary property list can contain.
        uint64_t length = 0;
        const char* text = plist_get_string_ptr(node, &length);
        if (text == nullptr || length > uint64_t(std::numeric_limits<qsizetype>::max())) {
            return std::nullopt;
        }
        return PlistValue(QString::fromUtf8(text, static_cast<qsizetype>(length)));
    }
    case PLIST_DATE: {
        int32_t seconds = 0;
        int32_t microseconds = 0;
        plist_get_date_val(node, &seconds, &microseconds);
        if (seconds == std::numeric_limits<int32_t>::min()) {
            return PlistValue(wideDate(node));
        }
        const qint64 milliseconds = qint64(seconds) * 1000 + microseconds / 1000;
        return PlistValue(referenceDate().addMSecs(milliseconds));
    }
    case PLIST_DATA: {
        char* bytes = nullptr;
        uint64_t length = 0;
        plist_get_data_val(node, &bytes, &length);
        QByteArray value(bytes, static_cast<qsizetype>(length));
        free(bytes);
        return PlistValue(std::move(value));
    }
    case PLIST_ARRAY:
        return arrayFromNode(node, depth);
    case PLIST_DICT:
        return dictionaryFromNode(node, depth);
    default:
        return std::nullopt;
    }
}

plist_t toNode(const PlistValue& value) {
    switch (value.type()) {
    case PlistValue::Type::boolean:
        return plist_new_bool(*value.boolean() ? 1 : 0);
    case PlistValue::Type::integer:
        return plist_new_uint(static_cast<uint64_t>(*value.integer()));
    case PlistValue::Type::real:
        return plist_new_real(*value.real());
    case PlistValue::Type::string:
        return plist_new_string(value.string()->toUtf8().constData());
    case PlistValue::Type::date: {
        const qint64 milliseconds = referenceDate().msecsTo(*value.date());
        const qint64 seconds = milliseconds / 1000;
        if (seconds != static_cast<int32_t>(seconds)) {
            return wideDateNode(*value.date());
        }
        return plist_new_date(static_cast<int32_t>(seconds),
                              static_cast<int32_t>((milliseconds - seconds * 1000) * 1000));
    }
    case PlistValue::Type::data:
        return plist_new_data(value.data()->constData(),
                              static_cast<uint64_t>(value.data()->size()));
    case PlistValue::Type::array: {
        plist_t node = plist_new_array();
        for (const PlistValue& item : *value.array()) {
            plist_array_append_item(node, toNode(item));
        }
        return node;
    }
    case PlistValue::Type::dictionary: {
        plist_t node = plist_new_dict();
        for (const auto& [key, item] : *value.dictionary()) {
            plist_dict_set_item(node, key.toUtf8().constData(), toNode(item));
        }
        return node;
    }
    }
    return nullptr;
}

} // namespace

const PlistValue* PlistDictionary::find(QStringView key) const {
    const auto found = std::lower_bound(
        entries_.begin(), entries_.end(), key,
        [](const Entry& entry, QStringView wanted) { return QStringView(entry.first) < wanted; });
    if (found == entries_.end() || found->first != key) {
        return nullptr;
    }
    return &found->second;
}

PlistDictionary::PlistDictionary(std::vector<Entry> entries) : entries_(std::move(entries)) {
    // Stable, so that the last of equal keys ends up last among them.
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const Entry& a, const Entry& b) { return a.first < b.first; });
    std::size_t kept = 0;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const bool replaced = i + 1 < entries_.size() && entries_[i + 1].first == entries_[i].first;
        if (!replaced) {
            if (kept != i) {
                entries_[kept] = std::move(entries_[i]);
            }
            ++kept;
        }
    }
    entries_.erase(entries_.begin() + std::ptrdiff_t(kept), entries_.end());
}

void PlistDictionary::insert(const QString& key, PlistValue value) {
    const auto found = std::lower_bound(
        entries_.begin(), entries_.end(), key,
        [](const Entry& entry, const QString& wanted) { return entry.first < wanted; });
    if (found != entries_.end() && found->first == key) {
        found->second = std::move(value);
        return;
    }
    entries_.insert(found, Entry(key, std::move(value)));
}

bool PlistDictionary::operator==(const PlistDictionary& other) const {
    return entries_ == other.entries_;
}

std::optional<bool> PlistValue::boolean() const {
    const bool* value = std::get_if<bool>(&value_);
    return value ? std::optional<bool>(*value) : std::nullopt;
}

std::optional<qint64> PlistValue::integer() const {
    const qint64* value = std::get_if<qint64>(&value_);
    return value ? std::optional<qint64>(*value) : std::nullopt;
}

std::optional<double> PlistValue::real() const {
    const double* value = std::get_if<double>(&value_);
    return value ? std::optional<double>(*value) : std::nullopt;
}

std::optional<PlistValue> PlistValue::parse(const QByteArray& bytes) {
    if (bytes.isEmpty() || bytes.size() > std::numeric_limits<uint32_t>::max()) {
        return std::nullopt;
    }
    if (bytes.startsWith("bplist")) {
        return readBinaryPlist(bytes);
    }
    const std::optional<QByteArray> xml = xmlInUtf8(bytes);
    if (!xml || xml->isEmpty()) {
        return std::nullopt;
    }
    plist_t root = nullptr;
    plist_from_xml(xml->constData(), static_cast<uint32_t>(xml->size()), &root);
    const Node owner(root);
    return fromNode(root, 0);
}

QByteArray PlistValue::toXml() const {
    const Node node(toNode(*this));
    char* text = nullptr;
    uint32_t length = 0;
    plist_to_xml(node.get(), &text, &length);
    QByteArray result(text, static_cast<qsizetype>(length));
    plist_to_xml_free(text);
    return result;
}

QByteArray PlistValue::toBinary() const {
    const Node node(toNode(*this));
    char* bytes = nullptr;
    uint32_t length = 0;
    plist_to_bin(node.get(), &bytes, &length);
    QByteArray result(bytes, static_cast<qsizetype>(length));
    plist_to_bin_free(bytes);
    return result;
}

const QString* stringEntry(const PlistDictionary& dictionary, QStringView key) {
    const PlistValue* value = dictionary.find(key);
    return value ? value->string() : nullptr;
}

} // namespace bw::plist
