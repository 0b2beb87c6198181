#include "services/backend/FieldText.h"

#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

namespace bw {
namespace {

QString repeated(const QString& unit, int count) {
    return unit.repeated(count);
}

TEST(FieldText, ClipsByUserPerceivedCharacters) {
    const QString grin = QString::fromUtf8("\xF0\x9F\x98\x80"); // one character, 2 units
    const QString family = QString::fromUtf8("\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80"
                                             "\x8D\xF0\x9F\x91\xA7"); // man ZWJ woman ZWJ girl
    const QString flag = QString::fromUtf8("\xF0\x9F\x87\xAB\xF0\x9F\x87\xB7"); // FR
    const QString accented = QStringLiteral("e\u0301"); // e + combining acute
    const struct {
        const char* name;
        QString text;
        qsizetype maxLength;
        QString expected;
    } cases[] = {
        {"exact", QStringLiteral("abcde"), 5, QStringLiteral("abcde")},
        {"longer", QStringLiteral("abcdef"), 5, QStringLiteral("abcde")},
        {"emoji", repeated(grin, 170), 160, repeated(grin, 160)},
        {"joined family", repeated(family, 4), 3, repeated(family, 3)},
        {"flags", repeated(flag, 3), 2, repeated(flag, 2)},
        {"combining marks", repeated(accented, 6), 4, repeated(accented, 4)},
        {"mixed", QStringLiteral("a") + grin + accented + QStringLiteral("b"), 3,
         QStringLiteral("a") + grin + accented},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(clipped(c.text, c.maxLength), c.expected) << c.name;
    }
}

TEST(FieldText, SanitizedFieldTrimsFallsBackAndClips) {
    const QString fallback = QStringLiteral("Unavailable");
    const struct {
        const char* name;
        QString value;
        qsizetype maxLength;
        QString expected;
    } cases[] = {
        {"padded", QStringLiteral(" \t Title \r\n"), 10, QStringLiteral("Title")},
        {"inner blanks kept", QStringLiteral("  a  b  "), 10, QStringLiteral("a  b")},
        {"blank", QStringLiteral(" \n\t\r "), 10, fallback},
        {"unicode blanks", QStringLiteral("\u00A0\u2028\u3000"), 10, fallback},
        {"trimmed before clipping", QStringLiteral("   abcdef"), 3, QStringLiteral("abc")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sanitizedField(c.value, c.maxLength, fallback), c.expected) << c.name;
    }
}

} // namespace
} // namespace bw
