#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>
#include <utility>
#include <variant>
#include <vector>

namespace bw::plist {

class PlistValue;

// Text keys in ascending order, each once.
class PlistDictionary {
public:
    using Entry = std::pair<QString, PlistValue>;

    PlistDictionary() = default;
    // Sorts the entries once; of two with the same key, the later one is kept.
    explicit PlistDictionary(std::vector<Entry> entries);

    const PlistValue* find(QStringView key) const;
    // Replaces an existing entry of the same key.
    void insert(const QString& key, PlistValue value);

    bool empty() const;
    std::size_t size() const;
    const Entry* begin() const;
    const Entry* end() const;

    bool operator==(const PlistDictionary& other) const;

private:
    std::vector<Entry> entries_;
};

using PlistArray = std::vector<PlistValue>;

// One property-list value. Booleans, integers, reals, texts, dates, data, arrays and dictionaries
// stay distinct, so that a check can tell <true/> from <integer>1</integer>.
class PlistValue {
public:
    enum class Type { boolean, integer, real, string, date, data, array, dictionary };

    explicit PlistValue(bool value) : value_(value) {}
    explicit PlistValue(qint64 value) : value_(value) {}
    explicit PlistValue(double value) : value_(value) {}
    explicit PlistValue(QString value) : value_(std::move(value)) {}
    explicit PlistValue(QDateTime value) : value_(std::move(value)) {}
    explicit PlistValue(QByteArray value) : value_(std::move(value)) {}
    explicit PlistValue(PlistArray value) : value_(std::move(value)) {}
    explicit PlistValue(PlistDictionary value) : value_(std::move(value)) {}

    Type type() const { return static_cast<Type>(value_.index()); }

    // Each accessor answers only for its own type.
    std::optional<bool> boolean() const;
    std::optional<qint64> integer() const;
    std::optional<double> real() const;
    const QString* string() const { return std::get_if<QString>(&value_); }
    const QDateTime* date() const { return std::get_if<QDateTime>(&value_); }
    const QByteArray* data() const { return std::get_if<QByteArray>(&value_); }
    const PlistArray* array() const { return std::get_if<PlistArray>(&value_); }
    const PlistDictionary* dictionary() const { return std::get_if<PlistDictionary>(&value_); }

    bool operator==(const PlistValue& other) const { return value_ == other.value_; }

    // Reads a binary property list, or an XML one in any Unicode encoding the platform reads;
    // absent when the bytes are neither.
    static std::optional<PlistValue> parse(const QByteArray& bytes);

    QByteArray toXml() const;
    QByteArray toBinary() const;

private:
    std::variant<bool, qint64, double, QString, QDateTime, QByteArray, PlistArray, PlistDictionary>
        value_;
};

inline bool PlistDictionary::empty() const {
    return entries_.empty();
}
inline std::size_t PlistDictionary::size() const {
    return entries_.size();
}
inline const PlistDictionary::Entry* PlistDictionary::begin() const {
    return entries_.data();
}
inline const PlistDictionary::Entry* PlistDictionary::end() const {
    return entries_.data() + entries_.size();
}

// A text entry of a dictionary, or absent when it is missing or of another type.
const QString* stringEntry(const PlistDictionary& dictionary, QStringView key);

} // namespace bw::plist
