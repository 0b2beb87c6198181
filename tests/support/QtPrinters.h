#pragma once

#include <QByteArray>
#include <QString>
#include <ostream>

// Readable failure messages for Qt's text types (found by GoogleTest through argument lookup).
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QByteArray& bytes, std::ostream* os) {
    *os << '"' << bytes.toStdString() << '"';
}
