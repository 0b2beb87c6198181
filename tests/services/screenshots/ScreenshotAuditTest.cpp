#include "services/screenshots/ScreenshotAuditService.h"
#include "tests/support/Findings.h"
#include "tests/support/ImageFiles.h"
#include "tests/support/TestFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace bw {
namespace {

using namespace Qt::Literals::StringLiterals;
using test::quadrantImage;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Distinct content for every call, so that files are never duplicates by accident.
QByteArray png(QSize size, bool alpha = false) {
    static int serial = 0;
    ++serial;
    QImage image = quadrantImage(size, alpha);
    image.setPixel(0, 0, qRgba(serial % 256, serial / 256 % 256, 7, 255));
    return test::pngData(image);
}

class ScreenshotAudit : public ::testing::Test {
protected:
    QString file(const QString& name, const QByteArray& bytes) { return folder.write(name, bytes); }

    ScreenshotAuditResult audit(const std::vector<QString>& files, bool store) const {
        return ScreenshotAuditService().audit(files, store);
    }

    test::TestFolder folder;
};

TEST_F(ScreenshotAudit, NoFilesGiveNothingButAnEmptySummary) {
    EXPECT_EQ(audit({}, true),
              (ScreenshotAuditResult{{}, {}, {0, 0, {}, std::nullopt, 0, std::nullopt}}));
}

// HEIC is fine as review evidence: no format finding, unlike a store screenshot.
TEST_F(ScreenshotAudit, EvidenceOfSmallAndLargeScreensIsExact) {
    const QString large = file(u"Home.png"_s, png(QSize(640, 1136)));
    const QString small = file(u"Tiny.png"_s, png(QSize(639, 1200)));
    const QString heic =
        file(u"Shot.HEIC"_s, test::heicData(quadrantImage(QSize(700, 900)), false));
    const ScreenshotAuditResult result = audit({large, small, heic}, false);

    EXPECT_THAT(result.passedChecks, ElementsAre(u"Home.png decoded at 640 \u00d7 1136"_s,
                                                 u"Shot.HEIC decoded at 700 \u00d7 900"_s));
    ASSERT_EQ(result.findings.size(), 2u);
    EXPECT_EQ(result.findings[0].id, u"screenshot.small.Tiny.png"_s);
    EXPECT_EQ(result.findings[0].evidence, u"Tiny.png: 639 × 1200"_s);
    EXPECT_EQ(result.findings[0].severity, FindingSeverity::risk);
    const Finding& notice = result.findings[1];
    EXPECT_EQ(notice.id, u"screenshot.semantic-review"_s);
    EXPECT_EQ(notice.evidence, u"3 readable screenshots attached"_s);
    EXPECT_EQ(
        result.summary,
        (ScreenshotSummary{
            3, 0, {u"Home.png"_s, u"Tiny.png"_s, u"Shot.HEIC"_s}, std::nullopt, 3, std::nullopt}));
}

TEST_F(ScreenshotAudit, StoreChecksRunInOrderForEveryKindOfFile) {
    using Ids = std::vector<QString>;
    const QString notice = u"screenshot.semantic-review"_s;
    const struct {
        const char* name;
        QString fileName;
        QByteArray bytes;
        Ids findingIds;
        std::size_t passed; // of the size and alpha checks
    } cases[] = {
        {"accepted rgb", u"A.png"_s, test::pngData(quadrantImage(QSize(1320, 2868))), Ids{notice},
         2},
        {"landscape of a listed size", u"B.png"_s, png(QSize(390, 312)), Ids{notice}, 2},
        // Small store screenshots get the size check, never the evidence one.
        {"small translucent", u"F.png"_s, png(QSize(300, 500), true),
         Ids{u"screenshot.store.dimension.F.png"_s, u"screenshot.store.alpha.F.png"_s, notice}, 0},
        {"heic with upper-case extension", u"Shot.HEIC"_s,
         test::heicData(quadrantImage(QSize(312, 390)), false),
         Ids{u"screenshot.store.format.Shot.HEIC"_s, notice}, 2},
    };
    for (const auto& c : cases) {
        const ScreenshotAuditResult result = audit({file(c.fileName, c.bytes)}, true);
        EXPECT_EQ(test::findingIds(result.findings), c.findingIds) << c.name;
        EXPECT_EQ(result.passedChecks.size(), c.passed) << c.name;
    }
}

// Eleven store screenshots: one more than App Store Connect takes.
TEST_F(ScreenshotAudit, EveryFindingIsRaisedInOrderAndSound) {
    std::vector<QString> files;
    const QByteArray first = png(QSize(312, 390));
    files.push_back(file(u"s0.png"_s, first));
    for (int i = 1; i < 8; ++i) {
        files.push_back(file(QStringLiteral("s%1.png").arg(i), png(QSize(312, 390))));
    }
    files.push_back(
        file(u"Wide.heic"_s, test::heicData(quadrantImage(QSize(500, 200), true), true)));
    files.push_back(file(u"notes.png"_s, "plain text"));
    files.push_back(file(u"dup.png"_s, first));
    const ScreenshotAuditResult result = audit(files, true);

    ASSERT_THAT(
        test::findingIds(result.findings),
        ElementsAre(u"screenshot.store.maximum-count"_s, u"screenshot.store.dimension.Wide.heic"_s,
                    u"screenshot.store.format.Wide.heic"_s, u"screenshot.store.alpha.Wide.heic"_s,
                    u"screenshot.invalid.notes.png"_s, u"screenshot.duplicate.dup.png"_s,
                    u"screenshot.semantic-review"_s));
    std::vector<Finding> checks = result.findings;
    checks.pop_back();
    test::expectSoundFindings(checks, EvidenceSource::screenshot);
    test::expectSoundFindings({result.findings.back()}, EvidenceSource::manual);
    EXPECT_EQ(result.findings[1].evidence, u"Wide.heic: 500 \u00d7 200; rules 2026.08.1"_s);
    EXPECT_EQ(result.findings[2].severity, FindingSeverity::blocker);
    EXPECT_EQ(result.findings[3].severity, FindingSeverity::blocker);
    EXPECT_EQ(result.findings[5].evidence, u"s0.png and dup.png"_s) << "names the first copy";
    files.pop_back();
    EXPECT_EQ(test::findingIds(audit(files, true).findings).front(),
              u"screenshot.store.dimension.Wide.heic"_s)
        << "ten are allowed";
}

TEST_F(ScreenshotAudit, UnreadableFilesAreListedButNeitherDecodedNorHashed) {
    const QByteArray text("These are notes, not a picture.\n");
    folder.makeFifo(u"pipe.png"_s);
    const std::vector<QString> files = {
        file(u"notes.png"_s, text),
        file(u"copy/notes-too.png"_s, text), // identical bytes, yet no duplicate finding
        folder.path() + u"/missing.png"_s,
        folder.makeFolder(u"Folder.png"_s),
        folder.path() + u"/pipe.png"_s, // must not block the audit
    };
    const ScreenshotAuditResult result = audit(files, false);
    ASSERT_THAT(test::findingIds(result.findings),
                ElementsAre(u"screenshot.invalid.notes.png"_s,
                            u"screenshot.invalid.notes-too.png"_s,
                            u"screenshot.invalid.missing.png"_s, u"screenshot.invalid.Folder.png"_s,
                            u"screenshot.invalid.pipe.png"_s, u"screenshot.semantic-review"_s));
    EXPECT_EQ(result.findings[0].evidence, u"notes.png"_s);
    EXPECT_EQ(result.findings[0].severity, FindingSeverity::risk);
    EXPECT_EQ(result.findings.back().evidence, u"0 readable screenshots attached"_s);
    EXPECT_THAT(result.passedChecks, IsEmpty());
    EXPECT_EQ(result.summary.decodedCount, 0);
    EXPECT_EQ(result.summary.fileNames.size(), 5u);
}

TEST_F(ScreenshotAudit, SameNamesInDifferentFoldersGetDistinctIds) {
    const QByteArray bytes = png(QSize(300, 500));
    const std::vector<QString> files = {
        file(u"en/Shot.png"_s, bytes), file(u"de/Shot.png"_s, bytes), file(u"fr/Shot.png"_s, bytes),
        file(u"ja/Shot.png"_s, "not an image"), file(u"ko/Shot.png"_s, "not an image either")};
    const ScreenshotAuditResult result = audit(files, false);
    ASSERT_THAT(test::findingIds(result.findings),
                ElementsAre(u"screenshot.small.Shot.png"_s, u"screenshot.small.Shot.png-2"_s,
                            u"screenshot.duplicate.Shot.png"_s, u"screenshot.small.Shot.png-3"_s,
                            u"screenshot.duplicate.Shot.png-2"_s, u"screenshot.invalid.Shot.png"_s,
                            u"screenshot.invalid.Shot.png-2"_s, u"screenshot.semantic-review"_s));
    // Only ids change; texts still name the file as it is.
    EXPECT_EQ(result.findings[1].evidence, u"Shot.png: 300 \u00d7 500"_s);
    EXPECT_EQ(result.findings[4].evidence, u"Shot.png and Shot.png"_s);
    EXPECT_EQ(result.findings[6].evidence, u"Shot.png"_s);
}

} // namespace
} // namespace bw
