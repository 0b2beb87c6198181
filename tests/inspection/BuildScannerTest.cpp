#include "inspection/BuildScanner.h"

#include "inspection/BuildScannerError.h"
#include "inspection/CommandRunner.h"
#include "inspection/ScanFindings.h"
#include "platform/core/Cancelled.h"
#include "platform/image/ImageDecoding.h"
#include "tests/fixtures/zip/RawZip.h"
#include "tests/inspection/BundleFixtures.h"
#include "tests/support/ImageFiles.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/Thrown.h"
#include "tests/support/WaitFor.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

using namespace bw;
using namespace bw::test;

namespace {

using Pair = std::pair<QString, double>;

// A stand-in for ditto that unpacks with unzip, failing like ditto on anything else.
const QByteArray unzippingDitto = R"([ "$1" = -x ] && [ "$2" = -k ] || exit 64
exec unzip -q "$3" -d "$4")";

class BuildScannerTest : public ::testing::Test {
protected:
    // A cancelled scan's folder is removed in the background, a moment after the scan ended.
    void TearDown() override {
        test::waitFor([&] { return folder.leftovers().isEmpty(); }, 30);
        EXPECT_TRUE(folder.leftovers().isEmpty()) << folder.leftovers().join(u' ').toStdString();
    }

    BuildScanner scanner(const QByteArray& ditto = unzippingDitto, double timeout = 300) {
        return BuildScanner(folder.tools({{"ditto", ditto}}), timeout);
    }

    // Scans and records every progress pair; `stopAt` asks for cancellation when that message
    // arrives.
    ScanReport scan(const BuildScanner& scanner, const QString& artifact,
                    const QString& stopAt = {}) {
        std::stop_source source;
        return scanner.scan(
            artifact,
            [&](const QString& message, double fraction) {
                pairs.emplace_back(message, fraction);
                if (message == stopAt) {
                    source.request_stop();
                }
            },
            source.get_token());
    }

    QString ipa(const QString& name, const std::function<void(const QString&)>& fill) {
        const QString content = folder.makeFolder("content-" + name);
        fill(content);
        const QString archive = folder.path() + u'/' + name;
        zipFolder(content, archive);
        return archive;
    }

    TestFolder folder;
    std::vector<Pair> pairs;
};

} // namespace

TEST_F(BuildScannerTest, WellFormedAppReportsTheEightStepsInOrder) {
    const QString app = writeIosBundle(folder, "Demo.app");
    const ScanReport report = scan(scanner(), app);
    ASSERT_EQ(pairs.size(), 8u);
    EXPECT_TRUE(std::ranges::is_sorted(pairs, std::ranges::less(), &Pair::second));
    EXPECT_EQ(pairs.back(), Pair("Report ready", 1.0));
    EXPECT_EQ(report.fileName, "Demo.app");
    EXPECT_EQ(report.sourcePath, app);
    // The two initial texts lead; the rule checks add theirs after them.
    ASSERT_GE(report.passedChecks.size(), 2u);
    EXPECT_EQ(report.passedChecks[0], "Application bundle located");
    EXPECT_EQ(report.passedChecks[1], "Info.plist parsed");
    EXPECT_FALSE(report.id.isNull());
    EXPECT_LE(std::abs(report.createdAt.secsTo(QDateTime::currentDateTimeUtc())), 5);
    EXPECT_EQ(report.metadata.appName, "Demo");
    EXPECT_EQ(report.metadata.bundleIdentifier, "com.example.demo");
    // A folder chosen with a trailing slash is reported by its plain path.
    const ScanReport slash = scan(scanner(), app + u'/');
    EXPECT_EQ(slash.fileName, "Demo.app");
    EXPECT_EQ(slash.sourcePath, app);
}

TEST_F(BuildScannerTest, ArtifactsWithoutAReadableAppFailWithTheirKind) {
    using enum BuildScannerError::Kind;
    folder.write("List.app/Info.plist", PlistValue(PlistArray{}).toXml());
    const QString noPayload = ipa("NoPayload.ipa", [this](const QString& content) {
        folder.write(QFileInfo(content).fileName() + "/Other/Demo.app/Info.plist", "x");
    });
    const std::pair<QString, BuildScannerError::Kind> cases[] = {
        {folder.makeFolder("MyApp.zip"), unsupportedArtifact},
        {folder.makeFolder("MyApp.ipa.txt"), unsupportedArtifact},
        {noPayload, appBundleNotFound},
        {folder.filePath("List.app"), infoPlistInvalid},
    };
    for (const auto& [artifact, kind] : cases) {
        pairs.clear();
        EXPECT_EQ(thrownKind<BuildScannerError>([&] { scan(scanner(), artifact); }), kind)
            << artifact.toStdString();
        if (kind == unsupportedArtifact) {
            EXPECT_EQ(pairs, (std::vector<Pair>{{"Preparing artifact", 0.04}}));
        }
    }
}

TEST_F(BuildScannerTest, ZipThatDittoRejectsFailsWithItsOutput) {
    const QString artifact = folder.write("Broken.ipa", "this is not a zip archive");
    const auto error = thrown<BuildScannerError>([&] { scan(scanner(), artifact); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind(), BuildScannerError::Kind::extractionFailed);
    EXPECT_GT(error->toolOutput().size(), 0);
    EXPECT_EQ(error->description(), "The IPA could not be extracted. " + error->toolOutput());
}

// Entries that declare an expansion no real build has are refused, by the preview and the scan
// alike, before the extraction tool writes anything; a plausible one reaches the tool.
TEST_F(BuildScannerTest, ArchivesDeclaringAnImplausibleExpansionAreNeverExtracted) {
    const QString ran = folder.filePath("ditto-ran");
    const BuildScanner tools = scanner("echo x >> '" + ran.toUtf8() + "'\n" + unzippingDitto);
    const auto declaring = [](std::uint64_t size, std::string data = "small") {
        return fixtures::RawEntry{
            .name = "Payload/Demo.app/blob", .data = std::move(data), .declaredSize = size};
    };
    struct Case {
        const char* name;
        std::vector<fixtures::RawEntry> entries;
        QString refusal; // empty: handed to the tool
    };
    const Case cases[] = {
        {"8.4 GB in three entries",
         {declaring(2'800'000'000), declaring(2'800'000'000), declaring(2'800'000'000)},
         "8.40 GB unpacked from a 0.6 KB file, more than 8 GB, twice what an App Store build "
         "may unpack to, so nothing was extracted."},
        {"3 GB from a tiny file",
         {declaring(3'000'000'000)},
         "3.00 GB unpacked from a 0.3 KB file, about 11,000,000 times its size; no app build "
         "compresses that well, so nothing was extracted."},
        {"3 GB from 2.9 MB",
         {declaring(3'000'000'000, std::string(2'900'000, 'z'))},
         "3.00 GB unpacked from a 2.9 MB file, about 1,000 times its size; no app build "
         "compresses that well, so nothing was extracted."},
        {"3 GB from 31 MB", {declaring(3'000'000'000, std::string(31'000'000, 'z'))}, {}},
        {"1.9 GB from a tiny file", {declaring(1'900'000'000)}, {}},
    };
    for (const Case& c : cases) {
        const QString artifact = folder.filePath("Bomb.ipa");
        const std::string bytes = fixtures::rawZip(c.entries, true);
        folder.write("Bomb.ipa", QByteArray::fromStdString(bytes));
        QFile::remove(ran);
        const auto scanError = thrown<BuildScannerError>([&] { scan(tools, artifact); });
        const auto previewError = thrown<BuildScannerError>([&] { tools.preview(artifact); });
        if (c.refusal.isEmpty()) {
            EXPECT_TRUE(QFileInfo::exists(ran)) << c.name;
            continue;
        }
        for (const auto& error : {scanError, previewError}) {
            ASSERT_TRUE(error) << c.name;
            EXPECT_EQ(error->kind(), BuildScannerError::Kind::extractionFailed) << c.name;
            EXPECT_EQ(
                error->description().toStdString(),
                ("The IPA could not be extracted. Its entries declare " + c.refusal).toStdString())
                << c.name;
        }
        EXPECT_FALSE(QFileInfo::exists(ran)) << c.name;
        // Summing the entries is part of the scan: a cancel on the way ends it there.
        EXPECT_THROW(scan(tools, artifact, "Preparing artifact"), Cancelled) << c.name;
    }
}

// A signature check that names every one of 100,000 files: the report keeps a bounded share of
// that output, naming paths inside the build rather than inside the deleted work folder.
TEST_F(BuildScannerTest, HugeToolOutputIsStoredBoundedWithPathsInsideTheBuild) {
    const QString artifact = ipa("Huge.ipa", [this](const QString& content) {
        writeIosBundle(folder, QFileInfo(content).fileName() + "/Payload/Demo.app");
    });
    const QByteArray codesign = R"(for last; do :; done
seq 1 100000 | sed "s|^|$last/Resources/file-|; s|$|: a sealed resource is missing or invalid|" >&2
exit 1)";
    const BuildScanner tools(folder.tools({{"ditto", unzippingDitto}, {"codesign", codesign}}));
    const ScanReport report = scan(tools, artifact);
    const auto signature = std::ranges::find(report.findings, "signing.invalid", &Finding::id);
    ASSERT_NE(signature, report.findings.end());
    const QStringList lines = signature->evidence.split(u'\n');
    EXPECT_EQ(lines.first(),
              "Payload/Demo.app/Resources/file-1: a sealed resource is missing or invalid");
    EXPECT_FALSE(signature->evidence.contains("Berthwatch-"));
    EXPECT_EQ(lines.last(),
              QStringLiteral("\u2026 %1 more lines left out").arg(100000 - (lines.size() - 1)));
}

// A ditto that hangs is stopped by the time-out, and by a cancellation on the way.
TEST_F(BuildScannerTest, ExtractionTimeOutOrCancellationStopsDitto) {
    const QString artifact = folder.write("Slow.ipa", "x");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(thrownKind<CommandRunnerError>([&] { scan(scanner("sleep 30", 1), artifact); }),
              CommandRunnerError::Kind::timedOut);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));

    std::stop_source source;
    std::jthread canceller([&source] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        source.request_stop();
    });
    EXPECT_THROW(scanner("sleep 30")
                     .scan(
                         artifact, [](const QString&, double) {}, source.get_token()),
                 Cancelled);
}

TEST_F(BuildScannerTest, CancellationAtACheckpointEndsTheScanWithoutAReport) {
    const QString app = writeIosBundle(folder, "Demo.app");
    // Cancelled before the start: not one step.
    std::stop_source stopped;
    stopped.request_stop();
    EXPECT_THROW(scanner().scan(
                     app, [this](const QString& m, double f) { pairs.emplace_back(m, f); },
                     stopped.get_token()),
                 Cancelled);
    EXPECT_TRUE(pairs.empty());
    // Cancelled while the signing step runs: the checkpoint after it ends the scan.
    EXPECT_THROW(scan(scanner(), app, "Verifying signature and entitlements"), Cancelled);
    ASSERT_FALSE(pairs.empty());
    EXPECT_EQ(pairs.back().first, "Verifying signature and entitlements");
    EXPECT_EQ(pairs.size(), 4u);

    // The step without a checkpoint runs on to the next one.
    pairs.clear();
    EXPECT_THROW(scan(scanner(), app, "Inspecting binary and embedded SDKs"), Cancelled);
    ASSERT_FALSE(pairs.empty());
    EXPECT_EQ(pairs.back().first, "Mapping App Review risks");
}

TEST_F(BuildScannerTest, WorkFolderThatCannotBeCreatedFailsWithTheFileError) {
    const QString app = writeIosBundle(folder, "Demo.app");
    folder.write("not-a-folder", "x");
    qputenv("TMPDIR", (folder.path() + "/not-a-folder").toLocal8Bit());
    EXPECT_THROW(scan(scanner(), app), std::system_error);
    qputenv("TMPDIR", folder.tempDirectory().toLocal8Bit());
}

TEST(BuildScannerEvidence, BoundedAtWholeLinesWithACountOfTheRest) {
    const QString atBound(maxStoredEvidence, u'x');
    const QString line = QString(1000, u'y') + u'\n';
    struct Case {
        QString evidence;
        qsizetype keptSize; // -1: unchanged
        QString lastLine;
    };
    const Case cases[] = {
        {atBound, -1, {}},
        {atBound + u'x', maxStoredEvidence - 64, "\u2026 1 more line left out"},
        {line.repeated(100), 65 * 1001 - 1, "\u2026 35 more lines left out"},
    };
    for (const Case& c : cases) {
        const QString bounded = boundedEvidence(c.evidence);
        if (c.keptSize < 0) {
            EXPECT_EQ(bounded, c.evidence);
            continue;
        }
        EXPECT_LE(bounded.size(), maxStoredEvidence);
        EXPECT_EQ(bounded.first(c.keptSize), c.evidence.first(c.keptSize));
        EXPECT_EQ(bounded.section(u'\n', -1), c.lastLine);
    }
}

// An .ipa with a nested app, a hidden file and a crushed icon, through the real tool stand-ins.
TEST_F(BuildScannerTest, IpaScanAndPreviewAgree) {
    const QString app = "content-Demo.ipa/Payload/Demo.app";
    const QString artifact = ipa("Demo.ipa", [&](const QString&) {
        PlistDictionary info = iosInfo();
        info.insert("CFBundleDisplayName", text("Real Demo"));
        info.insert(
            "CFBundleIcons",
            dictionaryValue({{"CFBundlePrimaryIcon",
                              dictionaryValue({{"CFBundleIconFiles",
                                                PlistValue(PlistArray{text("AppIcon60x60")})}})}}));
        writeIosBundle(folder, app, info);
        folder.makeFolder(app + "/Frameworks/Kit.framework");
        folder.write(app + "/AppIcon60x60@3x.png", encodeCgbi(patternImage(QSize(180, 180))));
        folder.write(app + "/.DS_Store", QByteArray(6148, 'x'));
        folder.write(app + "/Watch/Inner.app/Info.plist", "x");
    });
    const BuildScanner real(QStringLiteral(BW_LIBEXEC_DIR));
    const ScanReport report = scan(real, artifact);
    EXPECT_EQ(report.metadata.appName, "Real Demo");
    EXPECT_EQ(report.metadata.sdkNames, std::vector<QString>{"Kit"});
    // The hidden .DS_Store counts in neither.
    EXPECT_EQ(report.metadata.bundleSize, BuildScanner::bundleSize(folder.filePath(app)));
    EXPECT_GT(report.metadata.bundleSize, 0);
    ASSERT_TRUE(report.metadata.iconPNG);
    const auto icon = image::decodeLargestImage(*report.metadata.iconPNG);
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->size(), QSize(128, 128));

    const StagedBuildPreview preview = real.preview(artifact);
    EXPECT_EQ(preview.appName, "Real Demo");
    EXPECT_EQ(preview.targetDevices, "iPhone, iPad");
    EXPECT_EQ(preview.bundleSize, report.metadata.bundleSize);
    EXPECT_EQ(preview.iconPNG, report.metadata.iconPNG);
}
