#pragma once

#include "platform/json/JsonParser.h"
#include "platform/json/JsonValue.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QUuid>
#include <array>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

namespace bw::json {

// A document or value that does not have the required shape. `path` names the key path of the
// offending value ("reports[2].findings[0].severity"); it is empty for the document itself.
class DecodeError : public std::runtime_error {
public:
    DecodeError(QString path, QString reason);
    const QString& path() const { return path_; }
    const QString& reason() const { return reason_; }
    QString description() const;

private:
    QString path_;
    QString reason_;
};

// A strict view of one JSON value at a known key path. Required values that are missing, null
// or of another JSON type throw DecodeError naming the path; optional ones read as absent when
// missing or null, and still throw when present with the wrong type. Readers share the document
// they look into, and put their path together only when it is asked for.
class JsonReader {
public:
    JsonReader(Document document, QString path = {});
    JsonReader(const QJsonValue& value, QString path = {});

    QString path() const;
    QJsonValue value() const { return value_->toQJsonValue(); }

    // Members of an object (the value itself must be an object).
    JsonReader member(QStringView key) const;
    std::optional<JsonReader> optionalMember(QStringView key) const;

    // The value itself.
    QString string() const;
    double number() const;
    qint64 integer() const;
    bool boolean() const;
    QDateTime date() const;  // ISO 8601 internet date-time, whole seconds
    QByteArray data() const; // base64
    QUuid uuid() const;      // 8-4-4-4-12 hexadecimal text
    std::vector<JsonReader> elements() const;
    std::vector<QString> strings() const;

    template <typename T, typename Decode> std::vector<T> array(Decode decode) const {
        const Value::Array& all = arrayValue();
        std::vector<T> result;
        result.reserve(all.size());
        for (std::size_t i = 0; i < all.size(); ++i) {
            result.push_back(decode(element(i)));
        }
        return result;
    }

    [[noreturn]] void fail(const QString& reason) const;

private:
    // One key or index on the way from the document to the value; keys view the document's
    // own strings. The last few are held here, so that making a child allocates nothing.
    struct Step {
        QStringView key;
        qsizetype index; // an element's index, or -1 for a member's key
    };
    static constexpr std::size_t heldSteps = 8;

    JsonReader child(const Value& value, Step step) const;
    const Value& object() const;
    const Value::Array& arrayValue() const;
    JsonReader element(std::size_t index) const;
    static QString typeName(const Value& value);

    std::shared_ptr<const Document> document_;
    const Value* value_;
    QString base_; // the path up to the held steps
    std::array<Step, heldSteps> steps_{};
    std::size_t depth_ = 0;
};

// Shorthands for the common members of a keyed object.
inline QString stringAt(const JsonReader& r, QStringView key) {
    return r.member(key).string();
}
std::optional<QString> optionalStringAt(const JsonReader& r, QStringView key);
std::optional<qint64> optionalIntegerAt(const JsonReader& r, QStringView key);
std::optional<QByteArray> optionalDataAt(const JsonReader& r, QStringView key);

} // namespace bw::json
