#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

// JSON string escapes, shared by the parser, which checks them, and by the values, which decode
// them once asked for their text.
namespace bw::json {

// The character of the escape sequence that starts at `at`, just after its backslash, moving
// `at` past it; absent when a \u sequence is cut short or not hexadecimal. An unknown escape
// stands for its byte's Latin-1 character. `at` must be before `end`.
std::optional<char16_t> readEscape(const char*& at, const char* end);

// The UTF-8 bytes of the text between a string's quotes, whose escapes have been checked and
// stand for no surrogate.
QByteArray decodeEscapes(QByteArrayView text);

// The text of valid UTF-8 bytes, a leading U+FEFF kept: QString::fromUtf8 takes it for a
// byte-order mark and drops it, but inside a string it is part of the text.
QString textFromUtf8(QByteArrayView utf8);

} // namespace bw::json
