#include "tests/support/ImageFiles.h"
#include "ui/workspace/AppInitials.h"
#include "ui/workspace/BuildMetadataItem.h"
#include "ui/workspace/StagedAppIcon.h"
#include "ui/workspace/StagedLayout.h"
#include "ui/workspace/StagedMetadataItem.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

using namespace bw;
using namespace bw::workspace;

TEST(StagedPieces, InitialsTakeTheFirstCharacterOfTwoSpaceSeparatedWords) {
    const std::pair<QString, QString> cases[] = {
        {u"photo booth pro"_qs, u"PB"_qs},
        {u"notes"_qs, u"N"_qs},
        {u"  two   spaces  "_qs, u"TS"_qs},
        {u"ünter app"_qs, u"ÜA"_qs},
        {u"ßeta app"_qs, u"SSA"_qs},
        {u""_qs, u"A"_qs},
        {u"   "_qs, u"A"_qs},
        {u"\t"_qs, u"\t"_qs},
        {u"🚀 launch"_qs, u"🚀L"_qs},
    };
    for (const auto& [name, initials] : cases) {
        EXPECT_EQ(appInitials(name), initials) << name.toStdString();
    }
}

TEST(StagedPieces, LayoutFollowsTheOfferedSize) {
    struct Case {
        QSizeF size;
        bool compact;
        double inset, contentWidth;
        bool shortHeight;
        double slotWidth;
    };
    const Case cases[] = {
        {{860, 650}, false, 36, 788, false, 146},   {{859.5, 649}, true, 24, 811.5, true, 147.9},
        {{40, 700}, true, 24, 0, false, 146},       {{1112, 700}, false, 36, 1040, false, 188},
        {{1084, 700}, false, 36, 1012, false, 188}, {{1000, 700}, false, 36, 928, false, 171.2},
    };
    for (const auto& c : cases) {
        const auto layout = StagedLayout::forSize(c.size);
        EXPECT_EQ(layout.isCompact, c.compact) << c.size.width();
        EXPECT_EQ(layout.horizontalInset, c.inset);
        EXPECT_DOUBLE_EQ(layout.contentWidth, c.contentWidth);
        EXPECT_EQ(layout.isShortHeight, c.shortHeight);
        EXPECT_NEAR(layout.slotWidth, c.slotWidth, 1e-9);
    }
}

TEST(StagedPieces, MetadataCellsFollowWhatThePreviewKnows) {
    StagedBuild staged{QUuid::createUuid(), u"Tool.app"_qs, u"/builds/Tool.app"_qs, {}, {}, {}};
    staged.preview = StagedBuildPreview{
        {u"Tool"_qs, u"com.example.tool"_qs, u"2.1"_qs, u"40"_qs, u"macOS"_qs, u"Unavailable"_qs},
        {},
        {},
        0};
    const auto titles = [](const std::vector<StagedMetadataItem>& items) {
        QStringList list;
        for (const auto& item : items) {
            list << item.title + u'=' + item.value;
        }
        return list;
    };
    EXPECT_EQ(titles(metadataItems(staged, false)),
              QStringList({u"Bundle ID=com.example.tool"_qs, u"Version=2.1 (40)"_qs,
                           u"Platform=macOS"_qs, u"Artifact=App"_qs}));
    staged.preview->minimumOS = u"13.0"_qs;
    staged.preview->targetDevices = u"iPhone, iPad"_qs;
    staged.preview->bundleSize = 1'500'000;
    EXPECT_EQ(titles(metadataItems(staged, true)),
              QStringList({u"Bundle ID=com.example.tool"_qs, u"Version=2.1 (40)"_qs,
                           u"Platform=macOS 13.0+"_qs, u"Devices=iPhone, iPad"_qs,
                           u"Artifact=App"_qs, u"Size=1.5 MB"_qs}));
}

TEST(StagedPieces, TheIconPrefersTheImageThenTheSpinnerThenTheInitials) {
    const QByteArray png = bw::test::pngData(bw::test::quadrantImage({120, 80}));
    StagedAppIcon icon;
    icon.setIcon(QByteArray("not an image"), u"Tide Pool"_qs, true);
    EXPECT_TRUE(icon.showsSpinner());
    icon.setIcon(QByteArray("not an image"), u"Tide Pool"_qs, false);
    EXPECT_FALSE(icon.showsSpinner());
    EXPECT_FALSE(icon.showsImage());
    icon.setIcon(png, u"Tide Pool"_qs, true);
    EXPECT_TRUE(icon.showsImage());
    EXPECT_FALSE(icon.showsSpinner());
}

// A value too long for its cell is shortened in the middle, yet selecting it copies all of it;
// a part selected away from the ellipsis copies just that part.
TEST(StagedPieces, AShortenedMetadataValueIsSelectedAndCopiedWhole) {
    const QString value = u"com.example.a-rather-long-bundle-identifier.widgets"_qs;
    BuildMetadataItem cell(u"Bundle ID"_qs, value, true);
    cell.resize(90, cell.sizeHint().height());
    cell.show();
    auto* shown = cell.findChildren<QLabel*>().back();
    ASSERT_TRUE(shown->text().contains(u'\u2026'));
    shown->setSelection(0, int(shown->text().size()));
    QTest::keySequence(shown, QKeySequence::Copy);
    EXPECT_EQ(QApplication::clipboard()->text(), value);
    shown->setSelection(0, 3);
    QTest::keySequence(shown, QKeySequence::Copy);
    EXPECT_EQ(QApplication::clipboard()->text(), u"com"_qs);
}
