#include "platform/json/JsonWriter.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QLocale>
#include <QVariant>
#include <algorithm>
#include <cmath>

namespace bw::json {
namespace {

void writeString(QByteArray& out, const QString& text) {
    out += '"';
    const QByteArray utf8 = text.toUtf8();
    for (const char c : utf8) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '/':
            out += "\\/";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                out += "\\u00";
                out += QByteArray::number(static_cast<unsigned char>(c), 16).rightJustified(2, '0');
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

void writeNumber(QByteArray& out, const QJsonValue& value) {
    // Qt keeps integers it parsed or was given as integers; write those exactly.
    if (value.toVariant().typeId() == QMetaType::LongLong) {
        out += QByteArray::number(value.toInteger());
        return;
    }
    const double number = value.toDouble();
    if (!std::isfinite(number)) {
        throw EncodeError("A number that is not finite cannot be written as JSON.");
    }
    out += QByteArray::number(number, 'g', QLocale::FloatingPointShortest);
}

class Writer {
public:
    explicit Writer(Layout layout) : pretty_(layout == Layout::pretty) {}

    void value(const QJsonValue& v, int depth) {
        switch (v.type()) {
        case QJsonValue::Null:
        case QJsonValue::Undefined:
            out_ += "null";
            break;
        case QJsonValue::Bool:
            out_ += v.toBool() ? "true" : "false";
            break;
        case QJsonValue::Double:
            writeNumber(out_, v);
            break;
        case QJsonValue::String:
            writeString(out_, v.toString());
            break;
        case QJsonValue::Array:
            array(v.toArray(), depth);
            break;
        case QJsonValue::Object:
            object(v.toObject(), depth);
            break;
        }
    }

    QByteArray take() { return std::move(out_); }

private:
    void newline(int depth) {
        if (pretty_) {
            out_ += '\n';
            out_ += QByteArray(depth * 2, ' ');
        }
    }

    void array(const QJsonArray& a, int depth) {
        out_ += '[';
        for (qsizetype i = 0; i < a.size(); ++i) {
            if (i > 0) {
                out_ += ',';
            }
            newline(depth + 1);
            value(a.at(i), depth + 1);
        }
        if (!a.isEmpty()) {
            newline(depth);
        }
        out_ += ']';
    }

    void object(const QJsonObject& o, int depth) {
        QStringList keys = o.keys();
        std::sort(keys.begin(), keys.end());
        out_ += '{';
        bool first = true;
        for (const QString& key : keys) {
            if (!first) {
                out_ += ',';
            }
            first = false;
            newline(depth + 1);
            writeString(out_, key);
            out_ += pretty_ ? " : " : ":";
            value(o.value(key), depth + 1);
        }
        if (!keys.isEmpty()) {
            newline(depth);
        }
        out_ += '}';
    }

    bool pretty_;
    QByteArray out_;
};

} // namespace

QByteArray write(const QJsonValue& value, Layout layout) {
    Writer writer(layout);
    writer.value(value, 0);
    return writer.take();
}

} // namespace bw::json
