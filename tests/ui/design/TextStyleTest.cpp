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

} // namespace
} // namespace bw::design
