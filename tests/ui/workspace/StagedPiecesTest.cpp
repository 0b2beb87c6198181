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
