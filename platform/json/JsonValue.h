#pragma once

#include <QByteArrayView>
#include <QJsonValue>
#include <QString>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

namespace bw::json {

struct Member;

// A parsed JSON value. Lighter to build and to look into than QJsonValue: a string is a view of
// its text in the Document it belongs to, decoded only when asked for (a string with a surrogate
// escape is held decoded, as UTF-16); an object keeps its members in document order.
// Whole numbers that fit in 64 bits are integers, other numbers doubles. Values move, never copy,
// so that none outlives its document by accident.
class Value {
public:
    using Array = std::vector<Value>;
    using Object = std::vector<Member>;
    struct Utf8 {
        const char* data; // the text between the quotes, valid UTF-8, owned by the document
        qsizetype size;
        bool escaped; // holds escapes, checked, none of them a surrogate
    };

    // Defined after Member, which every constructor needs complete.
    Value();
    explicit Value(bool boolean);
    explicit Value(qint64 integer);
    explicit Value(double number);
    explicit Value(QString text);
    explicit Value(Utf8 text);
    explicit Value(Array elements);
    explicit Value(Object members);
    Value(Value&&) noexcept;
    Value& operator=(Value&&) noexcept;
    Value(const Value&) = delete;
    Value& operator=(const Value&) = delete;
    ~Value();

    bool isNull() const { return std::holds_alternative<std::monostate>(data_); }
    bool isBool() const { return std::holds_alternative<bool>(data_); }
    bool isInteger() const { return std::holds_alternative<qint64>(data_); }
    bool isNumber() const { return isInteger() || std::holds_alternative<double>(data_); }
    bool isString() const {
        return std::holds_alternative<Utf8>(data_) || std::holds_alternative<QString>(data_);
    }
    bool isArray() const { return std::holds_alternative<Array>(data_); }
    bool isObject() const { return std::holds_alternative<Object>(data_); }

    // Each accessor requires the value to be of its type.
    bool boolean() const { return std::get<bool>(data_); }
    qint64 integer() const { return std::get<qint64>(data_); }
    double number() const;
    QString string() const;
    // The UTF-8 bytes of a string held so, else nothing. They may view the document's bytes.
    std::optional<QByteArray> utf8() const;
    const Array& elements() const { return std::get<Array>(data_); }
    const Object& members() const { return std::get<Object>(data_); }

    // The member `key` of an object, nullptr when absent; of a key given twice, the last.
    const Member* find(QStringView key) const;

    QJsonValue toQJsonValue() const;

private:
    std::variant<std::monostate, bool, qint64, double, Utf8, QString, Array, Object> data_;
};

struct Member {
    QString key;
    Value value;
};

inline Value::Value() = default;
inline Value::Value(bool boolean) : data_(boolean) {}
inline Value::Value(qint64 integer) : data_(integer) {}
inline Value::Value(double number) : data_(number) {}
inline Value::Value(QString text) : data_(std::move(text)) {}
inline Value::Value(Utf8 text) : data_(std::move(text)) {}
inline Value::Value(Array elements) : data_(std::move(elements)) {}
inline Value::Value(Object members) : data_(std::move(members)) {}
inline Value::Value(Value&&) noexcept = default;
inline Value& Value::operator=(Value&&) noexcept = default;
inline Value::~Value() = default;

// Parsed values with the text their strings view, kept as it is shared (QByteArray copies share
// their bytes).
class Document {
public:
    explicit Document(Value root, QByteArray source = {});
    // A document of what a QJsonValue holds.
    static Document fromQJsonValue(const QJsonValue& value);

    const Value& root() const { return root_; }

private:
    QByteArray source_;
    Value root_;
};

} // namespace bw::json
