#include "platform/json/JsonEscapes.h"

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

void appendUtf8(QByteArray& bytes, char16_t c) {
    if (c < 0x80) {
        bytes += char(c);
    } else if (c < 0x800) {
        bytes += char(0xC0 | c >> 6);
        bytes += char(0x80 | (c & 0x3F));
    } else {
        bytes += char(0xE0 | c >> 12);
        bytes += char(0x80 | (c >> 6 & 0x3F));
        bytes += char(0x80 | (c & 0x3F));
    }
}

QByteArray decodeEscapes(QByteArrayView text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    const char* at = text.begin();
    while (at != text.end()) {
        const char* run = at;
        while (at != text.end() && *at != '\\') {
            ++at;
        }
        bytes.append(run, at - run);
        if (at != text.end()) {
            ++at;
            appendUtf8(bytes, readEscape(at, text.end()).value_or(u'\uFFFD'));
        }
    }
    return bytes;
}

} // namespace bw::json
