#pragma once

#include <QByteArray>
#include <QJsonValue>
#include <QStringView>
#include <stdexcept>
#include <vector>

namespace bw::json {

// A value that JSON cannot hold (a number that is not finite).
class EncodeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class Layout { compact, pretty };

// Serialises a JSON value with the keys of every object sorted and "/" escaped as "\/".
// Pretty output indents by two spaces, one member or element per line, `"key" : value`.
// Integers stay integers; other numbers use the shortest text that reads back exactly.
// Throws EncodeError for NaN or infinite numbers.
QByteArray write(const QJsonValue& value, Layout layout);

// Writes JSON as `write` does, straight from the caller's data into one buffer, without building
// QJsonValues first. The caller gives the keys of each object in sorted order, each followed by
// its value; elements of an array are values one after the other.
class StreamWriter {
public:
    explicit StreamWriter(Layout layout, qsizetype expectedSize = 0);

    void beginObject();
    void key(QStringView key);
    void endObject();
    void beginArray();
    void endArray();

    void null();
    void boolean(bool value);
    void integer(qint64 value);
    void number(double value); // throws EncodeError when not finite
    void string(QStringView text);

    QByteArray take() { return std::move(out_); }

private:
    struct Container {
        bool isArray;
        qsizetype count = 0;
        QStringView lastKey; // keys must come in sorted order
    };

    void beforeValue();
    void newline(qsizetype depth);
    void begin(char bracket, bool isArray);
    void end(char bracket);
    void appendPiece(QStringView text);

    bool pretty_;
    QByteArray out_;
    std::vector<Container> open_;
};

} // namespace bw::json
