#include "ui/design/TextStyle.h"

#include "ui/design/Palette.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace bw::design {
namespace {

constexpr int roleCount = int(TextStyle::medium40) + 1;

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

TEST(TextStyle, RolesCarryTheMetricsOfTheTypeScale) {
    const struct {
        TextStyle style;
        int size;
        QFont::Weight weight;
        FontDesign design;
        qreal tracking;
    } cases[] = {
        {TextStyle::heroTitle, 36, QFont::DemiBold, FontDesign::standard, -0.72},
        {TextStyle::verdictTitle, 30, QFont::DemiBold, FontDesign::rounded, -0.48},
        {TextStyle::monogram, 12, QFont::DemiBold, FontDesign::rounded, 0},
        {TextStyle::subtitle, 12, QFont::Normal, FontDesign::standard, 0},
        {TextStyle::caption, 11, QFont::Normal, FontDesign::standard, 0.06},
        {TextStyle::label, 11, QFont::Medium, FontDesign::standard, 0.06},
        {TextStyle::eyebrow, 10, QFont::DemiBold, FontDesign::standard, 0.36},
        {TextStyle::sidebarItem, 13, QFont::Normal, FontDesign::standard, -0.04},
        {TextStyle::sidebarItemSelected, 13, QFont::Medium, FontDesign::standard, -0.04},
        {TextStyle::monoCaption, 11, QFont::Normal, FontDesign::monospaced, 0},
        {TextStyle::monoLabel, 12, QFont::Medium, FontDesign::monospaced, 0},
        {TextStyle::mediumMono13, 13, QFont::Medium, FontDesign::monospaced, 0},
        {TextStyle::medium40, 40, QFont::Medium, FontDesign::standard, 0},
    };
    for (const auto& c : cases) {
        const TextMetrics metrics = textStyleMetrics(c.style);
        EXPECT_EQ(metrics.pixelSize, c.size) << int(c.style);
        EXPECT_EQ(metrics.weight, c.weight) << int(c.style);
        EXPECT_EQ(metrics.design, c.design) << int(c.style);
        EXPECT_DOUBLE_EQ(metrics.tracking, c.tracking) << int(c.style);
    }
}

TEST(TextStyle, AppliedToAContainerReachesTheTextInsideAndNothingElse) {
    QWidget container;
    auto* layout = new QVBoxLayout(&container);
    auto* text = new QLabel(QStringLiteral("Copied"));
    layout->addWidget(text);
    const QPalette before = text->palette();
    applyTextStyle(&container, TextStyle::label);
    EXPECT_EQ(text->font(), textStyleFont(TextStyle::label));
    EXPECT_EQ(text->palette(), before);
    EXPECT_EQ(text->text(), QStringLiteral("Copied"));
}

TEST(Design, InstallsTheBundledFontsAndTheDarkScheme) {
    QStringList families; // the test main installed the design before any other font was added
    for (int id = 0; id < 16; ++id) {
        families += QFontDatabase::applicationFontFamilies(id);
    }
    for (const char* family : {"Inter", "JetBrains Mono", "Material Icons"}) {
        EXPECT_TRUE(families.contains(QLatin1String(family))) << family;
    }
    EXPECT_EQ(QApplication::style()->name(), QStringLiteral("fusion"));
    EXPECT_EQ(QApplication::palette().color(QPalette::Window), palette::canvas());
    EXPECT_EQ(QApplication::palette().color(QPalette::Highlight), palette::accent());
}

TEST(Palette, CopiedColoursEqualTheirSourcesAndOnlyRowFillsAreTranslucent) {
    EXPECT_EQ(palette::iconPlaceholder(), palette::tileSurface());
    EXPECT_EQ(palette::iconGlyph(), palette::textPrimary());
    EXPECT_NEAR(palette::rowFillStrong().alphaF(), 0.075, 1e-4);
    EXPECT_NEAR(palette::rowFillSoft().alphaF(), 0.045, 1e-4);
    EXPECT_EQ(palette::rowFillSoft().rgb(), QColor(Qt::white).rgb());
    EXPECT_EQ(palette::accent().alpha(), 255);
    EXPECT_NEAR(palette::withOpacity(palette::rowFillSoft(), 0.5).alphaF(), 0.0225, 1e-4);
}

} // namespace
} // namespace bw::design
