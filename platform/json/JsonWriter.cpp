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

void StreamWriter::string(QStringView text) {
    beforeValue();
    out_ += '"';
    // A piece at a time, with room for its worst case (three bytes a character, six for an
    // escaped control character): each character is written in place, the rest given back.
    constexpr qsizetype piece = 4096;
    for (qsizetype from = 0; from < text.size();) {
        qsizetype to = std::min(from + piece, text.size());
        if (to < text.size() && text[to - 1].isHighSurrogate()) {
            ++to; // a pair stays in one piece
        }
        appendPiece(text.sliced(from, to - from));
        from = to;
    }
    out_ += '"';
}

void StreamWriter::appendPiece(QStringView text) {
    static const char hex[] = "0123456789abcdef";
    const qsizetype start = out_.size();
    out_.resize(start + text.size() * 6);
    char* to = out_.data() + start;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (isPlain(c)) {
            *to++ = char(c);
        } else if (c >= 0x80 && !QChar::isSurrogate(c)) {
            if (c < 0x800) {
                *to++ = char(0xC0 | c >> 6);
            } else {
                *to++ = char(0xE0 | c >> 12);
                *to++ = char(0x80 | (c >> 6 & 0x3F));
            }
            *to++ = char(0x80 | (c & 0x3F));
        } else if (QChar::isHighSurrogate(c) && i + 1 < text.size() &&
                   text[i + 1].isLowSurrogate()) {
            const char32_t code = QChar::surrogateToUcs4(c, text[++i].unicode());
            *to++ = char(0xF0 | code >> 18);
            *to++ = char(0x80 | (code >> 12 & 0x3F));
            *to++ = char(0x80 | (code >> 6 & 0x3F));
            *to++ = char(0x80 | (code & 0x3F));
        } else if (const char* escape = escapeFor(c)) {
            *to++ = escape[0];
            *to++ = escape[1];
        } else {
            // Control characters, which JSON does not take as they are, and lone surrogates,
            // which UTF-8 cannot carry: the escape reads back as the same character.
            to = std::copy_n("\\u", 2, to);
            for (const int shift : {12, 8, 4, 0}) {
                *to++ = hex[c >> shift & 0xF];
            }
        }
    }
    out_.truncate(to - out_.constData());
}

} // namespace bw::json
