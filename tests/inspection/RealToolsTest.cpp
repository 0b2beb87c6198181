// Scans through the real tool stand-ins (build/libexec/berthwatch) of generated fixtures: zip
// archives and .ipa files, and bundles holding real Mach-O executables.
#include "inspection/BuildScanner.h"
#include "inspection/BuildScannerError.h"
#include "platform/image/ImageDecoding.h"
#include "tests/inspection/BundleFixtures.h"
#include "tests/support/ImageFiles.h"
#include "tests/support/Thrown.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace bw;
using namespace bw::test;

namespace {

const QString zips = QStringLiteral(BW_ZIP_FIXTURES_DIR);
const QString machO = QStringLiteral(BW_MACHO_FIXTURES_DIR);

class RealToolsTest : public ::testing::Test {
protected:
    void TearDown() override {
        EXPECT_TRUE(folder.leftovers().isEmpty()) << folder.leftovers().join(u' ').toStdString();
    }

    ScanReport scan(const QString& artifact) {
        return scanner.scan(artifact,
                            [this](const QString& message, double) { messages << message; });
    }

    // Copies a fixture file into the bundle being built, keeping it executable.
    void copyExecutable(const QString& fixture, const QString& relativePath) {
        const QString target = folder.path() + u'/' + relativePath;
        QDir().mkpath(QFileInfo(target).absolutePath());
        ASSERT_TRUE(QFile::copy(fixture, target)) << fixture.toStdString();
        QFile::setPermissions(target, QFile::permissions(target) | QFile::ExeOwner);
    }

    // An iOS app with a real arm64 executable, an embedded framework and a crushed icon.
    void writeIosApp(const QString& relativePath) {
        PlistDictionary info = iosInfo();
        info.insert("CFBundleDisplayName", text("Real Demo"));
        info.insert(
            "CFBundleIcons",
            dictionaryValue({{"CFBundlePrimaryIcon",
                              dictionaryValue({{"CFBundleIconFiles",
                                                PlistValue(PlistArray{text("AppIcon60x60")})}})}}));
        folder.write(relativePath + "/Info.plist", PlistValue(info).toBinary());
        copyExecutable(machO + "/ios/App-arm64", relativePath + "/Demo");
        copyExecutable(machO + "/ios/Kit.framework/Kit",
                       relativePath + "/Frameworks/Kit.framework/Kit");
        folder.write(relativePath + "/AppIcon60x60@3x.png",
                     encodeCgbi(patternImage(QSize(180, 180))));
        folder.write(relativePath + "/.DS_Store", QByteArray(6148, 'x'));
    }

    TestFolder folder;
    BuildScanner scanner{QStringLiteral(BW_LIBEXEC_DIR)};
    QStringList messages;
};

} // namespace

TEST_F(RealToolsTest, ExampleIpaFromTheZipFixtures) {
    const ScanReport report = scan(zips + "/Example.ipa");
    EXPECT_EQ(messages.size(), 8);
    EXPECT_EQ(report.fileName, "Example.ipa");
    EXPECT_EQ(report.sourcePath, zips + "/Example.ipa");
    // No name entries: the outer bundle's own name, not the watch app's.
    EXPECT_EQ(report.metadata.appName, "Example");
    EXPECT_EQ(report.metadata.sdkNames, std::vector<QString>{"Kit"});
    EXPECT_EQ(report.metadata.platform, "Apple platform");
    EXPECT_GT(report.metadata.bundleSize, 250000);
    EXPECT_FALSE(report.metadata.iconPNG);
}

TEST_F(RealToolsTest, ArchivesThatDittoRefusesFailWithItsMessage) {
    const QStringList refused = {"broken/truncated.zip", "broken/bad-crc.zip",
                                 "hostile/traversal.zip", "hostile/bomb.zip"};
    for (const QString& name : refused) {
        const QString artifact = folder.path() + "/Refused.ipa";
        QFile::remove(artifact);
        ASSERT_TRUE(QFile::copy(zips + '/' + name, artifact));
        const auto error = thrown<BuildScannerError>([&] { scan(artifact); });
        ASSERT_TRUE(error) << name.toStdString();
        EXPECT_EQ(error->kind(), BuildScannerError::Kind::extractionFailed);
        EXPECT_TRUE(error->toolOutput().startsWith("ditto: ")) << error->toolOutput().toStdString();
    }
}

TEST_F(RealToolsTest, IpaWithRealExecutableAndCrushedIcon) {
    writeIosApp("content/Payload/Demo.app");
    folder.write("content/Payload/Demo.app/Watch/Inner.app/Info.plist", "x");
    zipFolder(folder.path() + "/content", folder.path() + "/Demo.ipa");
    const ScanReport report = scan(folder.path() + "/Demo.ipa");
    EXPECT_EQ(report.metadata.appName, "Real Demo");
    EXPECT_EQ(report.metadata.sdkNames, std::vector<QString>{"Kit"});
    // The hidden .DS_Store counts in neither.
    EXPECT_EQ(report.metadata.bundleSize,
              BuildScanner::bundleSize(folder.path() + "/content/Payload/Demo.app"));
    EXPECT_GT(report.metadata.bundleSize, 0);
    ASSERT_TRUE(report.metadata.iconPNG);
    const auto icon = image::decodeLargestImage(*report.metadata.iconPNG);
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->size(), QSize(128, 128));

    const StagedBuildPreview preview = scanner.preview(folder.path() + "/Demo.ipa");
    EXPECT_EQ(preview.appName, "Real Demo");
    EXPECT_EQ(preview.targetDevices, "iPhone, iPad");
    EXPECT_EQ(preview.bundleSize, report.metadata.bundleSize);
    EXPECT_EQ(preview.iconPNG, report.metadata.iconPNG);
}
