#include "platform/json/JsonWriter.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QLocale>
#include <QVariant>
#include <algorithm>
#include <charconv>
#include <cmath>

namespace bw::json {
namespace {

// The escape for one character, or nullptr when it is written as it is.
const char* escapeFor(char16_t c) {
    switch (c) {
    case '"':
        return "\\\"";
    case '\\':
        return "\\\\";
    case '/':
        return "\\/";
    case '\b':
        return "\\b";
    case '\f':
        return "\\f";
    case '\n':
        return "\\n";
    case '\r':
        return "\\r";
    case '\t':
        return "\\t";
    default:
        return nullptr;
    }
}

bool isPlain(char16_t c) {
    return c >= 0x20 && c < 0x80 && escapeFor(c) == nullptr;
}

void writeValue(StreamWriter& out, const QJsonValue& value) {
    switch (value.type()) {
    case QJsonValue::Null:
    case QJsonValue::Undefined:
        out.null();
        break;
    case QJsonValue::Bool:
        out.boolean(value.toBool());
        break;
    case QJsonValue::Double:
        // Qt keeps integers it parsed or was given as integers; write those exactly.
        if (value.toVariant().typeId() == QMetaType::LongLong) {
            out.integer(value.toInteger());
        } else {
            out.number(value.toDouble());
        }
        break;
    case QJsonValue::String:
        out.string(value.toString());
        break;
    case QJsonValue::Array:
        out.beginArray();
        for (const QJsonValue& element : value.toArray()) {
            writeValue(out, element);
        }
        out.endArray();
        break;
    case QJsonValue::Object: {
        const QJsonObject object = value.toObject();
        QStringList keys = object.keys();
        std::sort(keys.begin(), keys.end());
        out.beginObject();
        for (const QString& key : keys) {
            out.key(key);
            writeValue(out, object.value(key));
        }
        out.endObject();
        break;
    }
    }
}

} // namespace

QByteArray write(const QJsonValue& value, Layout layout) {
    StreamWriter out(layout);
    writeValue(out, value);
    return out.take();
}

StreamWriter::StreamWriter(Layout layout, qsizetype expectedSize)
    : pretty_(layout == Layout::pretty) {
    out_.reserve(expectedSize);
}

void StreamWriter::newline(qsizetype depth) {
    if (pretty_) {
        out_ += '\n';
        out_.append(depth * 2, ' ');
    }
}

void StreamWriter::beforeValue() {
    if (!open_.empty() && open_.back().isArray) {
        if (open_.back().count++ > 0) {
            out_ += ',';
        }
        newline(qsizetype(open_.size()));
    }
}

void StreamWriter::begin(char bracket, bool isArray) {
    beforeValue();
    out_ += bracket;
    open_.push_back({isArray, 0, {}});
}

void StreamWriter::end(char bracket) {
    const bool empty = open_.back().count == 0;
    open_.pop_back();
    if (!empty) {
        newline(qsizetype(open_.size()));
    }
    out_ += bracket;
}

void StreamWriter::beginObject() {
    begin('{', false);
}

void StreamWriter::endObject() {
    Q_ASSERT(!open_.empty() && !open_.back().isArray);
    end('}');
}

void StreamWriter::beginArray() {
    begin('[', true);
}

void StreamWriter::endArray() {
    Q_ASSERT(!open_.empty() && open_.back().isArray);
    end(']');
}

void StreamWriter::key(QStringView key) {
    Container& object = open_.back();
    Q_ASSERT(!object.isArray && (object.count == 0 || object.lastKey < key));
    if (object.count++ > 0) {
        out_ += ',';
    }
    object.lastKey = key;
    newline(qsizetype(open_.size()));
    string(key);
    out_ += pretty_ ? " : " : ":";
}

void StreamWriter::null() {
    beforeValue();
    out_ += "null";
}

void StreamWriter::boolean(bool value) {
    beforeValue();
    out_ += value ? "true" : "false";
}

void StreamWriter::integer(qint64 value) {
    beforeValue();
    char digits[24];
    const auto result = std::to_chars(std::begin(digits), std::end(digits), value);
    out_.append(digits, result.ptr - digits);
}

void StreamWriter::number(double value) {
    if (!std::isfinite(value)) {
        throw EncodeError("A number that is not finite cannot be written as JSON.");
    }
    beforeValue();
    out_ += QByteArray::number(value, 'g', QLocale::FloatingPointShortest);
}

// Characters that need neither escaping nor UTF-8 encoding, copied as bytes.
void StreamWriter::appendPlain(QStringView text) {
    const qsizetype start = out_.size();
    out_.resize(start + text.size());
    char* to = out_.data() + start;
    for (const QChar c : text) {
        *to++ = char(c.unicode());
    }
}

void StreamWriter::string(QStringView text) {
    beforeValue();
    out_ += '"';
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size;) {
        qsizetype run = i;
        while (run < size && isPlain(text[run].unicode())) {
            ++run;
        }
        appendPlain(text.sliced(i, run - i));
        i = run;
        if (i == size) {
            break;
        }
        const char16_t c = text[i].unicode();
        if (c >= 0x80) {
            while (run < size && text[run].unicode() >= 0x80) {
                ++run;
            }
            out_ += text.sliced(i, run - i).toUtf8();
            i = run;
        } else if (const char* escape = escapeFor(c)) {
            out_ += escape;
            ++i;
        } else {
            static const char hex[] = "0123456789abcdef";
            out_ += "\\u00";
            out_ += hex[c >> 4];
            out_ += hex[c & 0xF];
            ++i;
        }
    }
    out_ += '"';
}

} // namespace bw::json
