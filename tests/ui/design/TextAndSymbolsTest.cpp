#include "platform/locale/NumberFormatting.h"
#include "ui/design/Formatters.h"
#include "ui/design/Labels.h"
#include "ui/design/Symbols.h"
#include "ui/design/TextStyle.h"

#include <QApplication>
#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QStyle>
#include <gtest/gtest.h>
#include <limits>

namespace bw::design {
namespace {

constexpr int roleCount = int(TextStyle::placeholderSubtitle) + 1;

// Every role must come out of the bundled faces, whatever the application's default font is.
TEST(TextStyle, EveryRoleResolvesToTheBundledFaceAtItsSizeWeightAndTracking) {
    const QFont previous = QApplication::font();
    QApplication::setFont(QFont(QStringLiteral("DejaVu Serif"), 17));
    for (int role = 0; role < roleCount; ++role) {
        const TextStyle style = TextStyle(role);
        const TextMetrics metrics = textStyleMetrics(style);
        const QFont font = textStyleFont(style);
        const QFontInfo resolved(font);
        const char* family = metrics.design == FontDesign::monospaced ? "JetBrains Mono" : "Inter";
        EXPECT_EQ(resolved.family().toStdString(), family) << role;
        EXPECT_EQ(resolved.pixelSize(), metrics.pixelSize) << role;
        EXPECT_EQ(resolved.weight(), metrics.weight) << role;
        EXPECT_EQ(font.letterSpacingType(), QFont::AbsoluteSpacing) << role;
        // Qt keeps letter spacing in 64ths of a pixel.
        EXPECT_NEAR(font.letterSpacing(), metrics.tracking, 1.0 / 128) << role;
    }
    QApplication::setFont(previous);
}

// The shared scale, in declaration order, ahead of the kit's own roles: size, weight, design and
// tracking of each.
TEST(TextStyle, TheSharedScaleHoldsItsTwentySevenRolesInOrder) {
    constexpr auto regular = QFont::Normal;
    constexpr auto medium = QFont::Medium;
    constexpr auto semibold = QFont::DemiBold;
    constexpr auto standard = FontDesign::standard;
    constexpr auto rounded = FontDesign::rounded;
    constexpr auto mono = FontDesign::monospaced;
    const struct {
        TextStyle role;
        TextMetrics metrics;
    } scale[] = {
        {TextStyle::heroTitle, {36, semibold, standard, -0.72}},
        {TextStyle::lead, {15, regular, standard, -0.16}},
        {TextStyle::verdictTitle, {30, semibold, rounded, -0.48}},
        {TextStyle::screenTitle, {22, semibold, rounded, -0.26}},
        {TextStyle::sectionTitle, {17, semibold, rounded, -0.24}},
        {TextStyle::semiboldRounded20, {20, semibold, rounded, -0.22}},
        {TextStyle::semiboldRounded15, {15, semibold, rounded, -0.16}},
        {TextStyle::monogram, {12, semibold, rounded, 0}},
        {TextStyle::rowTitle, {15, semibold, standard, -0.16}},
        {TextStyle::body, {13, regular, standard, -0.08}},
        {TextStyle::bodyEmphasized, {13, medium, standard, -0.08}},
        {TextStyle::subtitle, {12, regular, standard, 0}},
        {TextStyle::caption, {11, regular, standard, 0.06}},
        {TextStyle::label, {11, medium, standard, 0.06}},
        {TextStyle::eyebrow, {10, semibold, standard, 0.36}},
        {TextStyle::sidebarItem, {13, regular, standard, -0.04}},
        {TextStyle::sidebarItemSelected, {13, medium, standard, -0.04}},
        {TextStyle::sidebarHeading, {11, medium, standard, 0.12}},
        {TextStyle::medium14, {14, medium, standard, 0}},
        {TextStyle::monoCaption, {11, regular, mono, 0}},
        {TextStyle::monoLabel, {12, medium, mono, 0}},
        {TextStyle::mediumMono13, {13, medium, mono, 0}},
        {TextStyle::medium12, {12, medium, standard, 0}},
        {TextStyle::medium17, {17, medium, standard, 0}},
        {TextStyle::medium28, {28, medium, standard, 0}},
        {TextStyle::semibold34, {34, semibold, standard, 0}},
        {TextStyle::medium40, {40, medium, standard, 0}},
    };
    static_assert(std::size(scale) == 27);
    for (std::size_t index = 0; index < std::size(scale); ++index) {
        const auto& [role, expected] = scale[index];
        EXPECT_EQ(int(role), int(index));
        const TextMetrics metrics = textStyleMetrics(role);
        EXPECT_EQ(metrics.pixelSize, expected.pixelSize) << index;
        EXPECT_EQ(metrics.weight, expected.weight) << index;
        EXPECT_EQ(metrics.design, expected.design) << index;
        EXPECT_DOUBLE_EQ(metrics.tracking, expected.tracking) << index;
    }
}

// A text that sets no font of its own is drawn in the body's face, size and weight, untracked.
TEST(Design, TheBaseFontIsTheBodysWithoutItsTracking) {
    const TextMetrics body = textStyleMetrics(TextStyle::body);
    const QLabel plain(QStringLiteral("Release notes"));
    const QFontInfo resolved(plain.font());
    EXPECT_EQ(resolved.family(), QStringLiteral("Inter"));
    EXPECT_EQ(resolved.pixelSize(), body.pixelSize);
    EXPECT_EQ(resolved.weight(), body.weight);
    EXPECT_EQ(QFontMetricsF(plain.font()).horizontalAdvance(plain.text()),
              QFontMetricsF(systemFont(body.pixelSize, body.weight, body.design))
                  .horizontalAdvance(plain.text()));
}

// Neither bundled face has emoji: an app's name holding one shows it in colour, also where a
// face of the machine has a plain one (the bolt).
TEST(TextStyle, EmojiInANameAreDrawnInColour) {
    const struct {
        QString text;
        TextStyle role;
    } names[] = {
        {QStringLiteral("\U0001F680 Rocket"), TextStyle::sectionTitle},
        {QStringLiteral("\u26A1 Volt"), TextStyle::sidebarItem},
        {QStringLiteral("com.example.\U0001F680"), TextStyle::monoCaption},
    };
    for (const auto& name : names) {
        SCOPED_TRACE(name.text.toStdString());
        const QFont font = textStyleFont(name.role);
        QImage drawn(QFontMetrics(font).horizontalAdvance(name.text) + 8, 40, QImage::Format_RGB32);
        drawn.fill(Qt::black);
        QPainter painter(&drawn);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(drawn.rect(), Qt::AlignCenter, name.text);
        painter.end();
        // White letters on black have no hue; only an emoji's colours do.
        int coloured = 0;
        for (int y = 0; y < drawn.height(); ++y) {
            for (int x = 0; x < drawn.width(); ++x) {
                const QColor pixel = drawn.pixelColor(x, y);
                coloured += pixel.hsvSaturation() > 100 && pixel.value() > 60;
            }
        }
        EXPECT_GT(coloured, 20);
    }
}

// Where a label's text stands across it, as drawn: the middle of its inked columns, from 0 at its
// left to 1 at its right.
double inkMiddle(QLabel& label) {
    const QImage drawn = label.grab().toImage();
    int left = drawn.width();
    int right = 0;
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x) {
            if (drawn.pixel(x, y) != drawn.pixel(0, 0)) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    return (left + right) / 2.0 / drawn.width();
}

// A label's leading text follows the label's direction however it turns, mirrored with its
// parent or made without one and put into a mirrored parent: at the right, then back at the left.
// A centred text stays centred.
TEST(Labels, ALeadingTextFollowsItsLabelsDirection) {
    for (const bool putIntoParent : {false, true}) {
        SCOPED_TRACE(putIntoParent ? "put into its parent" : "made in its parent");
        QWidget parent;
        QWidget* madeIn = putIntoParent ? nullptr : &parent;
        QLabel* leading =
            makeLabel(QStringLiteral("Build details"), TextStyle::body, Qt::white, madeIn);
        QLabel* centred =
            makeLabel(QStringLiteral("No reports"), TextStyle::body, Qt::white, madeIn);
        centred->setAlignment(Qt::AlignHCenter);
        parent.setLayoutDirection(Qt::RightToLeft);
        for (QLabel* label : {leading, centred}) {
            label->setParent(&parent);
            label->resize(300, 24);
        }
        EXPECT_GT(inkMiddle(*leading), 0.75);
        EXPECT_NEAR(inkMiddle(*centred), 0.5, 0.05);
        parent.setLayoutDirection(Qt::LeftToRight);
        EXPECT_LT(inkMiddle(*leading), 0.25);
        EXPECT_NEAR(inkMiddle(*centred), 0.5, 0.05);
    }
}

// Drawn on demand by the style behind the design's proxy, yet there when the menu bar asks.
TEST(Design, TheMenuBarsOverflowIconIsThere) {
    EXPECT_FALSE(QApplication::style()
                     ->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton)
                     .pixmap(16)
                     .isNull());
}

// The unit and its digits, in the locale's own decimal separator.
TEST(FileByteCount, PicksTheUnitAndDigitsOfTheFileStyle) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const struct {
        std::uint64_t bytes;
        const char* text;
    } cases[] = {
        {0, "Zero KB"},     {1, "1 byte"},
        {999, "999 bytes"}, {999'499, "999 KB"},
        {999'500, "1 MB"},  {std::numeric_limits<std::uint64_t>::max(), "18.45 EB"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fileByteCount(c.bytes).toStdString(), c.text) << c.bytes;
    }
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(fileByteCount(1'500'000).toStdString(), "1,5 MB");
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

// A percentage is written in the locale's own style, its sign where the locale puts it.
TEST(WholePercent, FollowsTheLocalesPercentStyle) {
    const struct {
        QLocale locale;
        double fraction;
        const char* text;
    } cases[] = {
        {QLocale(QLocale::English, QLocale::UnitedStates), 0.134, "13%"},
        {QLocale(QLocale::English, QLocale::UnitedStates), 0.02, "2%"},
        {QLocale(QLocale::German, QLocale::Germany), 0.134, "13\u00A0%"},
        {QLocale(QLocale::Turkish, QLocale::Turkey), 1, "%100"},
    };
    for (const auto& c : cases) {
        QLocale::setDefault(c.locale);
        EXPECT_EQ(locale::wholePercent(c.fraction).toStdString(), c.text)
            << c.locale.name().toStdString();
    }
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

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
