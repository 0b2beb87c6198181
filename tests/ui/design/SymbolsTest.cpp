#include "ui/design/Symbols.h"

#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <gtest/gtest.h>

namespace bw::design {
namespace {

// Every symbol name the screens use, collected from their description into a test data file.
QStringList screenSymbolNames() {
    QFile file(QStringLiteral(BW_SYMBOL_NAMES_FILE));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return {};
    }
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

TEST(Symbols, EveryScreenSymbolHasAGlyphTheBundledFontContains) {
    const QStringList names = screenSymbolNames();
    ASSERT_GT(names.size(), 50);
    const QFont font = symbolFont(13);
    ASSERT_EQ(QFontInfo(font).family().toStdString(), "Material Icons");
    const QFontMetrics metrics(font);
    for (const QString& name : names) {
        const std::optional<char32_t> codePoint = symbolCodePoint(name);
        ASSERT_TRUE(codePoint) << name.toStdString();
        EXPECT_TRUE(metrics.inFontUcs4(*codePoint)) << name.toStdString();
    }
}

} // namespace
} // namespace bw::design
