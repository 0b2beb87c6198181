#include "platform/plist/BinaryPlistReader.h"

#include <QTimeZone>
#include <algorithm>
#include <cstring>
#include <vector>

namespace bw::plist {

namespace {

constexpr qsizetype headerSize = 8;
constexpr qsizetype trailerSize = 32;
constexpr int maxDepth = 512;
// Shared objects may be referenced many times; these bound what one file expands to: the number
// of values, and the texts and data beyond the file's own size (a long text referenced from a
// long array would otherwise take the file's size squared).
constexpr qint64 maxValues = 1'000'000;
// Every value but the top one is named by a reference of at least a byte, so a file whose
// containers are not shared holds fewer values than bytes; more than this many per byte is a
// file built to expand.
constexpr qint64 maxValuesPerByte = 8;
constexpr qint64 maxSharedPayload = 64 << 20;

class Reader {
public:
    explicit Reader(const QByteArray& bytes)
        : bytes_(bytes), payloadLeft_(bytes.size() + maxSharedPayload),
          maxValues_(std::min(maxValues, maxValuesPerByte * bytes.size())) {}

    std::optional<PlistValue> read() {
        if (bytes_.size() < headerSize + trailerSize || !bytes_.startsWith("bplist00")) {
            return std::nullopt;
        }
        const qsizetype trailer = bytes_.size() - trailerSize;
        offsetSize_ = byteAt(trailer + 6);
        referenceSize_ = byteAt(trailer + 7);
        const auto objectCount = unsignedAt(trailer + 8, 8);
        const auto topObject = unsignedAt(trailer + 16, 8);
        const auto tableOffset = unsignedAt(trailer + 24, 8);
        if (offsetSize_ < 1 || offsetSize_ > 8 || referenceSize_ < 1 || referenceSize_ > 8 ||
            !objectCount || !topObject || !tableOffset || *topObject >= *objectCount ||
            *tableOffset < quint64(headerSize) || *tableOffset > quint64(trailer) ||
            *objectCount > quint64(trailer - qsizetype(*tableOffset)) / quint64(offsetSize_)) {
            return std::nullopt;
        }
        objectCount_ = *objectCount;
        isOpen_.assign(objectCount_, false);
        tableOffset_ = qsizetype(*tableOffset);
        return object(*topObject, 0);
    }

private:
    int byteAt(qsizetype offset) const { return static_cast<unsigned char>(bytes_[offset]); }

    std::optional<quint64> unsignedAt(qsizetype offset, int size) const {
        if (offset < 0 || size < 1 || size > 8 || offset > bytes_.size() - size) {
            return std::nullopt;
        }
        quint64 value = 0;
        for (int i = 0; i < size; ++i) {
            value = (value << 8) | quint64(byteAt(offset + i));
        }
        return value;
    }

    std::optional<qsizetype> objectOffset(quint64 index) const {
        if (index >= objectCount_) {
            return std::nullopt;
        }
        const auto offset = unsignedAt(tableOffset_ + qsizetype(index) * offsetSize_, offsetSize_);
        // Objects lie between the header and the offset table.
        if (!offset || *offset < quint64(headerSize) || *offset >= quint64(tableOffset_)) {
            return std::nullopt;
        }
        return qsizetype(*offset);
    }

    // The element count of a marker: its low nibble, or an integer object after it for 15.
    // `position` moves past the marker and the count.
    std::optional<quint64> count(int marker, qsizetype& position) const {
        position += 1;
        if ((marker & 0x0f) != 0x0f) {
            return quint64(marker & 0x0f);
        }
        if (position >= tableOffset_) {
            return std::nullopt;
        }
        const int intMarker = byteAt(position);
        if ((intMarker & 0xf0) != 0x10 || (intMarker & 0x0f) > 3) {
            return std::nullopt;
        }
        const int size = 1 << (intMarker & 0x0f);
        const auto value = unsignedAt(position + 1, size);
        position += 1 + size;
        return value;
    }

    // Whether `length` bytes from `position` stay before the offset table.
    bool fits(qsizetype position, quint64 length) const {
        return position <= tableOffset_ && length <= quint64(tableOffset_ - position);
    }

    std::optional<double> realAt(qsizetype position, int size) const {
        const auto raw = unsignedAt(position, size);
        if (!raw) {
            return std::nullopt;
        }
        if (size == 4) {
            const quint32 bits = quint32(*raw);
            float value = 0;
            std::memcpy(&value, &bits, sizeof value);
            return double(value);
        }
        double value = 0;
        std::memcpy(&value, &*raw, sizeof value);
        return value;
    }

    std::optional<PlistValue> object(quint64 index, int depth) {
        if (depth > maxDepth || ++decoded_ > maxValues_) {
            return std::nullopt;
        }
        const auto offset = objectOffset(index);
        // An object inside itself never ends.
        if (!offset || isOpen_[index]) {
            return std::nullopt;
        }
        isOpen_[index] = true;
        auto value = objectAt(*offset, depth);
        isOpen_[index] = false;
        return value;
    }

    std::optional<PlistValue> objectAt(qsizetype offset, int depth) {
        const int marker = byteAt(offset);
        const int info = marker & 0x0f;
        switch (marker >> 4) {
        case 0x0:
            if (marker == 0x08 || marker == 0x09) {
                return PlistValue(marker == 0x09);
            }
            return std::nullopt;
        case 0x1: {
            if (info > 4) {
                return std::nullopt;
            }
            // 16-byte integers carry the value in their low eight bytes.
            const int size = 1 << info;
            const auto value = unsignedAt(offset + 1 + (size == 16 ? 8 : 0), size == 16 ? 8 : size);
            if (!value || !fits(offset + 1, quint64(size))) {
                return std::nullopt;
            }
            return PlistValue(static_cast<qint64>(*value));
        }
        case 0x2: {
            if (info != 2 && info != 3) {
                return std::nullopt;
            }
            const auto value = realAt(offset + 1, 1 << info);
            return value ? std::optional(PlistValue(*value)) : std::nullopt;
        }
        case 0x3: {
            const auto seconds = marker == 0x33 ? realAt(offset + 1, 8) : std::nullopt;
            if (!seconds || !(*seconds > -1e14 && *seconds < 1e14)) {
                return std::nullopt;
            }
            static const QDateTime reference(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);
            return PlistValue(reference.addMSecs(qint64(*seconds * 1000)));
        }
        case 0x4:
        case 0x5:
        case 0x6:
            return bytesObject(marker, offset);
        case 0x8: {
            const auto value = unsignedAt(offset + 1, info + 1);
            return value ? std::optional(PlistValue(static_cast<qint64>(*value))) : std::nullopt;
        }
        case 0xa:
            return arrayObject(marker, offset, depth);
        case 0xd:
            return dictionaryObject(marker, offset, depth);
        default:
            return std::nullopt;
        }
    }

    std::optional<PlistValue> bytesObject(int marker, qsizetype offset) {
        qsizetype position = offset;
        const auto length = count(marker, position);
        const bool utf16 = (marker >> 4) == 0x6;
        if (!length || *length > quint64(bytes_.size()) ||
            !fits(position, utf16 ? *length * 2 : *length)) {
            return std::nullopt;
        }
        payloadLeft_ -= qint64(*length);
        if (payloadLeft_ < 0) {
            return std::nullopt;
        }
        const char* start = bytes_.constData() + position;
        switch (marker >> 4) {
        case 0x4:
            return PlistValue(QByteArray(start, qsizetype(*length)));
        case 0x5:
            return PlistValue(QString::fromLatin1(start, qsizetype(*length)));
        default: {
            QString text(qsizetype(*length), Qt::Uninitialized);
            for (qsizetype i = 0; i < qsizetype(*length); ++i) {
                text[i] =
                    QChar(char16_t((byteAt(position + 2 * i) << 8) | byteAt(position + 2 * i + 1)));
            }
            return PlistValue(std::move(text));
        }
        }
    }

    std::optional<std::vector<quint64>> references(qsizetype position, quint64 length) const {
        if (!fits(position, length * quint64(referenceSize_)) || length > quint64(bytes_.size())) {
            return std::nullopt;
        }
        std::vector<quint64> result;
        result.reserve(length);
        for (quint64 i = 0; i < length; ++i) {
            result.push_back(*unsignedAt(position + qsizetype(i) * referenceSize_, referenceSize_));
        }
        return result;
    }

    std::optional<PlistValue> arrayObject(int marker, qsizetype offset, int depth) {
        qsizetype position = offset;
        const auto length = count(marker, position);
        const auto items = length ? references(position, *length) : std::nullopt;
        if (!items) {
            return std::nullopt;
        }
        PlistArray array;
        array.reserve(items->size());
        for (const quint64 item : *items) {
            auto value = object(item, depth + 1);
            if (!value) {
                return std::nullopt;
            }
            array.push_back(std::move(*value));
        }
        return PlistValue(std::move(array));
    }

    std::optional<PlistValue> dictionaryObject(int marker, qsizetype offset, int depth) {
        qsizetype position = offset;
        const auto length = count(marker, position);
        if (!length || *length > quint64(bytes_.size())) {
            return std::nullopt;
        }
        const auto keys = references(position, *length);
        const auto values = references(position + qsizetype(*length) * referenceSize_, *length);
        if (!keys || !values) {
            return std::nullopt;
        }
        std::vector<PlistDictionary::Entry> entries;
        entries.reserve(keys->size());
        for (std::size_t i = 0; i < keys->size(); ++i) {
            auto key = object((*keys)[i], depth + 1);
            auto value = object((*values)[i], depth + 1);
            if (!key || !key->string() || !value) {
                return std::nullopt;
            }
            entries.emplace_back(*key->string(), std::move(*value));
        }
        return PlistValue(PlistDictionary(std::move(entries)));
    }

    const QByteArray& bytes_;
    int offsetSize_ = 0;
    int referenceSize_ = 0;
    quint64 objectCount_ = 0;
    qsizetype tableOffset_ = 0;
    qint64 decoded_ = 0;
    qint64 payloadLeft_;
    qint64 maxValues_;
    // The objects being read on the way down to the current one, by index.
    std::vector<bool> isOpen_;
};

} // namespace

std::optional<PlistValue> readBinaryPlist(const QByteArray& bytes) {
    return Reader(bytes).read();
}

} // namespace bw::plist
