#include "platform/json/JsonEscapes.h"

#include <QStringDecoder>
#include <cstring>

namespace bw::json {

std::optional<char16_t> readEscape(const char*& at, const char* end) {
    const char c = *at++;
    switch (c) {
    case 'b':
        return u'\b';
    case 'f':
        return u'\f';
    case 'n':
        return u'\n';
    case 'r':
        return u'\r';
    case 't':
        return u'\t';
    case 'u':
        break;
    default:
        // Quote, backslash, slash, and any other byte standing for its Latin-1 character.
        return static_cast<unsigned char>(c);
    }
    if (end - at < 4) {
        return std::nullopt;
    }
    char16_t code = 0;
    for (int i = 0; i < 4; ++i) {
        const char digit = *at++;
        const int value = digit >= '0' && digit <= '9'   ? digit - '0'
                          : digit >= 'a' && digit <= 'f' ? digit - 'a' + 10
                          : digit >= 'A' && digit <= 'F' ? digit - 'A' + 10
                                                         : -1;
        if (value < 0) {
            return std::nullopt;
        }
        code = char16_t(code * 16 + value);
    }
    return code;
}

namespace {

// Writes the UTF-8 form of a character that is not a surrogate, returning the end of what it wrote.
char* writeUtf8(char* out, char16_t c) {
    if (c < 0x80) {
        *out++ = char(c);
    } else if (c < 0x800) {
        *out++ = char(0xC0 | c >> 6);
        *out++ = char(0x80 | (c & 0x3F));
    } else {
        *out++ = char(0xE0 | c >> 12);
        *out++ = char(0x80 | (c >> 6 & 0x3F));
        *out++ = char(0x80 | (c & 0x3F));
    }
    return out;
}

} // namespace

QByteArray decodeEscapes(QByteArrayView text) {
    // A checked escape never writes more bytes than it reads, so the text's size is enough;
    // the room is made anyway for an unchecked one that reads as U+FFFD.
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char* out = bytes.data();
    const char* at = text.begin();
    const char* const end = text.end();
    while (at != end) {
        const void* found = std::memchr(at, '\\', std::size_t(end - at));
        const char* run = at;
        at = found != nullptr ? static_cast<const char*>(found) : end;
        std::memcpy(out, run, std::size_t(at - run));
        out += at - run;
        if (at == end || ++at == end) {
            break;
        }
        const char16_t c = readEscape(at, end).value_or(u'\uFFFD');
        if (bytes.constData() + bytes.size() - out < 3) {
            const qsizetype written = out - bytes.constData();
            bytes.resize(bytes.size() + (end - at) + 3);
            out = bytes.data() + written;
        }
        out = writeUtf8(out, c);
    }
    bytes.truncate(out - bytes.constData());
    return bytes;
}

QString textFromUtf8(QByteArrayView utf8) {
    if (!utf8.startsWith("\xEF\xBB\xBF")) {
        return QString::fromUtf8(utf8);
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder(utf8);
}

} // namespace bw::json
