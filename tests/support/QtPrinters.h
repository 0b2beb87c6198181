#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>
#include <QUrl>
#include <ostream>

// Readable failure messages for the Qt values the tests compare (found by GoogleTest through
// argument lookup).
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QByteArray& bytes, std::ostream* out) {
    *out << '"' << bytes.toStdString() << '"';
}
inline void PrintTo(const QSize& size, std::ostream* out) {
    *out << size.width() << "×" << size.height();
}
inline void PrintTo(const QUrl& url, std::ostream* out) {
    *out << '<' << url.toString().toStdString() << '>';
}
