#include "services/screenshots/AcceptedScreenshotSizes.h"
#include "services/screenshots/ScreenshotAuditService.h"
#include "tests/support/ImageFiles.h"
#include "tests/support/ImageFixtures.h"
#include "tests/support/TestFolder.h"

#include <QElapsedTimer>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

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

std::vector<QString> ids(const ScreenshotAuditResult& result) {
    std::vector<QString> ids;
    for (const Finding& finding : result.findings) {
        ids.push_back(finding.id);
    }
    return ids;
}

const Finding* findingWithId(const ScreenshotAuditResult& result, const QString& id) {
    for (const Finding& finding : result.findings) {
        if (finding.id == id) {
            return &finding;
        }
    }
    return nullptr;
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
    for (const bool store : {false, true}) {
        const ScreenshotAuditResult result = audit({}, store);
        EXPECT_THAT(result.findings, IsEmpty());
        EXPECT_THAT(result.passedChecks, IsEmpty());
        EXPECT_EQ(result.summary, (ScreenshotSummary{0, 0, {}, std::nullopt, 0, std::nullopt}));
    }
}

TEST_F(ScreenshotAudit, EvidenceOfOneSmallAndOneLargeScreenIsExact) {
    const QString large = file(QStringLiteral("Home.png"), png(QSize(640, 1136)));
    const QString small = file(QStringLiteral("Tiny.png"), png(QSize(639, 1200)));
    const ScreenshotAuditResult result = audit({large, small}, false);

    EXPECT_THAT(result.passedChecks, ElementsAre(u"Home.png decoded at 640 \u00d7 1136"_s));
    const Finding expectedSmall{
        QStringLiteral("screenshot.small.Tiny.png"),
        FindingSeverity::risk,
        FindingCategory::screenshots,
        QStringLiteral("2.3.3"),
        std::nullopt,
        QStringLiteral("Screenshot resolution is unusually small"),
        u"The image is 639 \u00d7 1200 pixels and may not match an accepted App Store device size."_s,
        u"Tiny.png: 639 \u00d7 1200"_s,
        std::nullopt,
        QStringLiteral("Capture the screen at a device size supported by App Store Connect without "
                       "scaling it up."),
        0.9,
        EvidenceSource::screenshot,
        std::nullopt};
    ASSERT_EQ(result.findings.size(), 2u);
    EXPECT_EQ(result.findings[0], expectedSmall);
    const Finding& notice = result.findings[1];
    EXPECT_EQ(notice.id, u"screenshot.semantic-review"_s);
    EXPECT_EQ(notice.severity, FindingSeverity::manual);
    EXPECT_EQ(notice.source, EvidenceSource::manual);
    EXPECT_EQ(notice.evidence, u"2 readable screenshots attached"_s);
    EXPECT_EQ(
        result.summary,
        (ScreenshotSummary{2, 0, {u"Home.png"_s, u"Tiny.png"_s}, std::nullopt, 2, std::nullopt}));
}

TEST_F(ScreenshotAudit, CountsStoreScreenshotsAboveTen) {
    std::vector<QString> files;
    for (int i = 0; i < 11; ++i) {
        files.push_back(file(QStringLiteral("s%1.png").arg(i), png(QSize(312, 390))));
    }
    const ScreenshotAuditResult eleven = audit(files, true);
    ASSERT_FALSE(eleven.findings.empty());
    EXPECT_EQ(eleven.findings.front().id, u"screenshot.store.maximum-count"_s);
    EXPECT_EQ(eleven.findings.front().evidence,
              u"11 files are marked as App Store product screenshots."_s);
    EXPECT_EQ(eleven.findings.front().severity, FindingSeverity::manual);

    EXPECT_EQ(findingWithId(audit(files, false), u"screenshot.store.maximum-count"_s), nullptr);
    files.pop_back();
    EXPECT_EQ(findingWithId(audit(files, true), u"screenshot.store.maximum-count"_s), nullptr);
}

TEST_F(ScreenshotAudit, StoreChecksRunInOrderForEveryKindOfFile) {
    struct Case {
        const char* name;
        QString fileName;
        QByteArray bytes;
        std::vector<QString> findingIds; // without the closing notice
        std::vector<QString> passed;
    };
    const QImage opaque = quadrantImage(QSize(1320, 2868));
    QImage palette(1290, 2796, QImage::Format_Indexed8);
    palette.setColorTable({qRgba(0, 0, 0, 0), qRgba(255, 255, 255, 255)});
    palette.fill(1);
    const std::vector<Case> cases = {
        {"accepted rgb",
         u"A.png"_s,
         test::pngData(opaque),
         {},
         {u"A.png matches an accepted App Store screenshot size"_s,
          u"A.png has no alpha channel"_s}},
        {"landscape of a listed size",
         u"B.png"_s,
         png(QSize(390, 312)),
         {},
         {u"B.png matches an accepted App Store screenshot size"_s,
          u"B.png has no alpha channel"_s}},
        {"opaque rgba is still alpha",
         u"C.png"_s,
         test::pngData(opaque.convertToFormat(QImage::Format_ARGB32)),
         {u"screenshot.store.alpha.C.png"_s},
         {u"C.png matches an accepted App Store screenshot size"_s}},
        {"palette with transparency",
         u"D.png"_s,
         test::pngData(palette),
         {u"screenshot.store.alpha.D.png"_s},
         {u"D.png matches an accepted App Store screenshot size"_s}},
        {"jpeg",
         u"E.jpg"_s,
         test::jpegData(opaque),
         {},
         {u"E.jpg matches an accepted App Store screenshot size"_s,
          u"E.jpg has no alpha channel"_s}},
        // Small store screenshots get the size check, never the evidence one.
        {"small translucent",
         u"F.png"_s,
         png(QSize(300, 500), true),
         {u"screenshot.store.dimension.F.png"_s, u"screenshot.store.alpha.F.png"_s},
         {}},
        {"heic with upper-case extension",
         u"Shot.HEIC"_s,
         test::heicData(quadrantImage(QSize(312, 390)), false),
         {u"screenshot.store.format.Shot.HEIC"_s},
         {u"Shot.HEIC matches an accepted App Store screenshot size"_s,
          u"Shot.HEIC has no alpha channel"_s}},
        {"heic with alpha",
         u"G.heic"_s,
         test::heicData(quadrantImage(QSize(400, 300), true), true),
         {u"screenshot.store.dimension.G.heic"_s, u"screenshot.store.format.G.heic"_s,
          u"screenshot.store.alpha.G.heic"_s},
         {}},
    };
    for (const Case& c : cases) {
        const ScreenshotAuditResult result = audit({file(c.fileName, c.bytes)}, true);
        std::vector<QString> expectedIds = c.findingIds;
        expectedIds.push_back(u"screenshot.semantic-review"_s);
        EXPECT_EQ(ids(result), expectedIds) << c.name;
        EXPECT_EQ(result.passedChecks, c.passed) << c.name;
    }
}

TEST_F(ScreenshotAudit, GifAndWebpScreenshotsHaveAlphaOnlyWhenTransparent) {
    const QString fixtures = QStringLiteral(BW_IMAGE_FIXTURES_DIR "/");
    const ScreenshotAuditResult result =
        audit({fixtures + u"opaque.gif"_s, fixtures + u"transparent.gif"_s,
               fixtures + u"opaque-lossy.webp"_s, fixtures + u"transparent-lossy.webp"_s},
              true);
    EXPECT_EQ(ids(result), (std::vector<QString>{u"screenshot.store.alpha.transparent.gif"_s,
                                                 u"screenshot.store.alpha.transparent-lossy.webp"_s,
                                                 u"screenshot.semantic-review"_s}));
    EXPECT_THAT(result.passedChecks, ::testing::Contains(u"opaque.gif has no alpha channel"_s));
    EXPECT_THAT(result.passedChecks,
                ::testing::Contains(u"opaque-lossy.webp has no alpha channel"_s));
}

TEST_F(ScreenshotAudit, StoreFindingsCarryTheirExactTexts) {
    const QString heic =
        file(u"Wide.heic"_s, test::heicData(quadrantImage(QSize(500, 200), true), true));
    const ScreenshotAuditResult result = audit({heic}, true);
    ASSERT_EQ(result.findings.size(), 4u);
    const Finding& size = result.findings[0];
    EXPECT_EQ(size.severity, FindingSeverity::risk);
    EXPECT_EQ(size.confidence, 0.98);
    EXPECT_EQ(size.detail,
              u"The image is 500 \u00d7 200 pixels and does not match a listed iPhone, "
              u"iPad, Mac, Apple TV, Vision Pro, or Apple Watch screenshot size."_s);
    EXPECT_EQ(size.evidence, u"Wide.heic: 500 \u00d7 200; rules 2026.08.1"_s);
    const Finding& format = result.findings[1];
    EXPECT_EQ(format.severity, FindingSeverity::blocker);
    EXPECT_EQ(format.title, u"HEIC is not an App Store screenshot format"_s);
    EXPECT_EQ(format.evidence, u"Wide.heic"_s);
    const Finding& alpha = result.findings[2];
    EXPECT_EQ(alpha.severity, FindingSeverity::blocker);
    EXPECT_EQ(alpha.evidence, u"Wide.heic decodes with alpha information."_s);
    EXPECT_EQ(alpha.fix, u"Flatten the image onto an opaque background and export it as JPEG or "
                         u"an opaque PNG."_s);
}

TEST_F(ScreenshotAudit, EveryFindingCarriesItsExactFields) {
    std::vector<QString> files;
    const QByteArray first = png(QSize(312, 390));
    files.push_back(file(u"s0.png"_s, first));
    for (int i = 1; i < 9; ++i) {
        files.push_back(file(QStringLiteral("s%1.png").arg(i), png(QSize(312, 390))));
    }
    files.push_back(
        file(u"Wide.heic"_s, test::heicData(quadrantImage(QSize(500, 200), true), true)));
    files.push_back(file(u"notes.png"_s, "plain text"));
    files.push_back(file(u"dup.png"_s, first));
    const ScreenshotAuditResult result = audit(files, true);

    auto expected = [](const char* id, FindingSeverity severity, double confidence,
                       EvidenceSource source, const char* title, const char* detail,
                       const QString& evidence, const char* fix) {
        return Finding{QString::fromUtf8(id),
                       severity,
                       FindingCategory::screenshots,
                       u"2.3.3"_s,
                       std::nullopt,
                       QString::fromUtf8(title),
                       QString::fromUtf8(detail),
                       evidence,
                       std::nullopt,
                       QString::fromUtf8(fix),
                       confidence,
                       source,
                       std::nullopt};
    };
    const std::vector<Finding> findings = {
        expected("screenshot.store.maximum-count", FindingSeverity::manual, 1.0,
                 EvidenceSource::screenshot, "Screenshot set grouping needs confirmation",
                 "App Store Connect accepts one to 10 screenshots per supported device size and "
                 "localization.",
                 u"12 files are marked as App Store product screenshots."_s,
                 "Confirm that no individual device and localization set exceeds 10 images, or "
                 "mark this batch as review evidence instead."),
        expected("screenshot.store.dimension.Wide.heic", FindingSeverity::risk, 0.98,
                 EvidenceSource::screenshot,
                 "Screenshot size is not in Apple's current specification",
                 "The image is 500 × 200 pixels and does not match a listed iPhone, iPad, Mac, "
                 "Apple TV, Vision Pro, or Apple Watch screenshot size.",
                 u"Wide.heic: 500 × 200; rules 2026.08.1"_s,
                 "Export from a supported device size without cropping or scaling. Recheck "
                 "Apple's screenshot specifications if the device is newly released."),
        expected("screenshot.store.format.Wide.heic", FindingSeverity::blocker, 1.0,
                 EvidenceSource::screenshot, "HEIC is not an App Store screenshot format",
                 "App Store Connect accepts JPEG, JPG, and PNG product screenshots.",
                 u"Wide.heic"_s, "Export this image as a flattened JPEG or PNG."),
        expected("screenshot.store.alpha.Wide.heic", FindingSeverity::blocker, 1.0,
                 EvidenceSource::screenshot, "Product screenshot contains an alpha channel",
                 "Apple's current screenshot specification does not accept alpha channels or "
                 "transparency.",
                 u"Wide.heic decodes with alpha information."_s,
                 "Flatten the image onto an opaque background and export it as JPEG or an "
                 "opaque PNG."),
        expected("screenshot.invalid.notes.png", FindingSeverity::risk, 1.0,
                 EvidenceSource::screenshot, "Screenshot could not be decoded",
                 "The selected file is not a readable image with pixel dimensions.", u"notes.png"_s,
                 "Export a PNG or JPEG directly from the target device or simulator."),
        expected("screenshot.duplicate.dup.png", FindingSeverity::risk, 1.0,
                 EvidenceSource::screenshot, "Duplicate screenshot selected",
                 "Two screenshot files contain identical image data.", u"s0.png and dup.png"_s,
                 "Replace the duplicate with a screen that demonstrates a different core "
                 "feature."),
    };
    ASSERT_EQ(result.findings.size(), findings.size() + 1);
    for (std::size_t i = 0; i < findings.size(); ++i) {
        EXPECT_EQ(result.findings[i], findings[i]) << findings[i].id.toStdString();
    }
    // The notice's fix is this application's own wording; everything else is fixed.
    Finding notice = result.findings.back();
    notice.fix.clear();
    EXPECT_EQ(notice, expected("screenshot.semantic-review", FindingSeverity::manual, 1.0,
                               EvidenceSource::manual, "Screenshot content needs semantic review",
                               "Local checks verify image integrity and obvious duplicates. Copy, "
                               "paywall disclosures, misleading claims, and product accuracy "
                               "require the screenshot review service.",
                               u"11 readable screenshots attached"_s, ""));
}

TEST_F(ScreenshotAudit, AcceptedSizesAreExactlyTheListedOnesInEitherOrientation) {
    // short, long; typed from Apple's published screenshot sizes
    const std::vector<std::pair<qint64, qint64>> listed = {
        {1260, 2736}, {1290, 2796}, {1320, 2868}, {1284, 2778}, {1242, 2688}, {1179, 2556},
        {1206, 2622}, {1170, 2532}, {1125, 2436}, {1080, 2340}, {1242, 2208}, {750, 1334},
        {640, 1096},  {640, 1136},  {600, 1136},  {640, 920},   {640, 960},   {600, 960},
        {2064, 2752}, {2048, 2732}, {1488, 2266}, {1668, 2420}, {1668, 2388}, {1640, 2360},
        {1668, 2224}, {1536, 2008}, {1536, 2048}, {1496, 2048}, {768, 1004},  {768, 1024},
        {748, 1024},  {800, 1280},  {900, 1440},  {1600, 2560}, {1800, 2880}, {1080, 1920},
        {2160, 3840}, {422, 514},   {410, 502},   {416, 496},   {396, 484},   {368, 448},
        {312, 390}};
    const QSet<PixelSize>& sizes = acceptedScreenshotSizes();
    EXPECT_EQ(sizes.size(), qsizetype(listed.size()));
    for (const auto& [shortSide, longSide] : listed) {
        EXPECT_TRUE(sizes.contains(PixelSize::of(shortSide, longSide))) << shortSide;
        EXPECT_TRUE(sizes.contains(PixelSize::of(longSide, shortSide))) << shortSide;
        EXPECT_FALSE(sizes.contains(PixelSize::of(shortSide, longSide + 1))) << shortSide;
    }
}

TEST_F(ScreenshotAudit, HeicAsReviewEvidenceHasNoFormatFinding) {
    const QString heic =
        file(u"Shot.HEIC"_s, test::heicData(quadrantImage(QSize(700, 900)), false));
    const ScreenshotAuditResult result = audit({heic}, false);
    EXPECT_THAT(ids(result), ElementsAre(u"screenshot.semantic-review"_s));
    EXPECT_THAT(result.passedChecks, ElementsAre(u"Shot.HEIC decoded at 700 \u00d7 900"_s));
}

TEST_F(ScreenshotAudit, IdenticalFilesNameTheFirstCopy) {
    const QByteArray bytes = png(QSize(700, 1400));
    const ScreenshotAuditResult result =
        audit({file(u"a.png"_s, bytes), file(u"b.png"_s, bytes), file(u"c.png"_s, bytes)}, false);
    EXPECT_THAT(ids(result),
                ElementsAre(u"screenshot.duplicate.b.png"_s, u"screenshot.duplicate.c.png"_s,
                            u"screenshot.semantic-review"_s));
    EXPECT_EQ(result.findings[0].evidence, u"a.png and b.png"_s);
    EXPECT_EQ(result.findings[1].evidence, u"a.png and c.png"_s);
    EXPECT_EQ(result.findings[1].detail, u"Two screenshot files contain identical image data."_s);
    EXPECT_EQ(result.passedChecks.size(), 3u);
}

TEST_F(ScreenshotAudit, UnreadableFilesAreListedButNeitherDecodedNorHashed) {
    const QByteArray text("These are notes, not a picture.\n");
    ASSERT_EQ(mkfifo((folder.path() + u"/pipe.png"_s).toLocal8Bit().constData(), 0600), 0);
    const std::vector<QString> files = {
        file(u"notes.png"_s, text),
        file(u"copy/notes-too.png"_s, text), // identical bytes, yet no duplicate finding
        folder.path() + u"/missing.png"_s,
        folder.makeFolder(u"Folder.png"_s),
        folder.path() + u"/pipe.png"_s, // must not block the audit
    };
    const ScreenshotAuditResult result = audit(files, false);
    EXPECT_THAT(ids(result),
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
    EXPECT_EQ(result.summary.fileNames[0], u"notes.png"_s);
}

TEST_F(ScreenshotAudit, TheNoticeCountsReadableScreenshots) {
    const QString good1 = file(u"1.png"_s, png(QSize(700, 1400)));
    const QString good2 = file(u"2.png"_s, png(QSize(700, 1400)));
    const QString good3 = file(u"3.png"_s, png(QSize(700, 1400)));
    const QString bad1 = file(u"4.png"_s, "x");
    const QString bad2 = file(u"5.png"_s, "y");
    struct Case {
        std::vector<QString> files;
        QString evidence;
    };
    for (const Case& c : std::vector<Case>{
             {{good1, bad1, good2, bad2, good3}, u"3 readable screenshots attached"_s},
             {{good1}, u"1 readable screenshot attached"_s},
             {{bad1, bad2}, u"0 readable screenshots attached"_s},
         }) {
        const ScreenshotAuditResult result = audit(c.files, true);
        ASSERT_FALSE(result.findings.empty());
        EXPECT_EQ(result.findings.back().id, u"screenshot.semantic-review"_s);
        EXPECT_EQ(result.findings.back().evidence, c.evidence);
    }
}

TEST_F(ScreenshotAudit, SameNamesInDifferentFoldersGetDistinctIds) {
    const QByteArray bytes = png(QSize(300, 500));
    const std::vector<QString> files = {
        file(u"en/Shot.png"_s, bytes), file(u"de/Shot.png"_s, bytes), file(u"fr/Shot.png"_s, bytes),
        file(u"ja/Shot.png"_s, "not an image"), file(u"ko/Shot.png"_s, "not an image either")};
    const ScreenshotAuditResult result = audit(files, false);
    EXPECT_THAT(ids(result),
                ElementsAre(u"screenshot.small.Shot.png"_s, u"screenshot.small.Shot.png-2"_s,
                            u"screenshot.duplicate.Shot.png"_s, u"screenshot.small.Shot.png-3"_s,
                            u"screenshot.duplicate.Shot.png-2"_s, u"screenshot.invalid.Shot.png"_s,
                            u"screenshot.invalid.Shot.png-2"_s, u"screenshot.semantic-review"_s));
    // Only ids change; texts still name the file as it is.
    EXPECT_EQ(result.findings[1].evidence, u"Shot.png: 300 \u00d7 500"_s);
    EXPECT_EQ(result.findings[4].evidence, u"Shot.png and Shot.png"_s);
    EXPECT_EQ(result.findings[6].evidence, u"Shot.png"_s);
}

TEST_F(ScreenshotAudit, HugeDeclaredDimensionsAreReadFromTheHeaderAlone) {
    const QString huge = file(u"Huge.png"_s, test::pngDeclaring(QSize(200000, 300000)));
    QElapsedTimer timer;
    timer.start();
    const ScreenshotAuditResult result = audit({huge}, true);
    EXPECT_LT(timer.elapsed(), 1000);
    EXPECT_THAT(ids(result),
                ElementsAre(u"screenshot.store.dimension.Huge.png"_s,
                            u"screenshot.store.alpha.Huge.png"_s, u"screenshot.semantic-review"_s));
    EXPECT_EQ(result.findings[0].evidence, u"Huge.png: 200000 \u00d7 300000; rules 2026.08.1"_s);
}

TEST(ScreenshotDigest, IsLowerCaseHexadecimalSha256) {
    EXPECT_EQ(ScreenshotAuditService::digest(QByteArray()),
              u"e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"_s);
    EXPECT_EQ(ScreenshotAuditService::digest("abc"),
              u"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"_s);
}

} // namespace
} // namespace bw
