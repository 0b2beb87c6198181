#include "inspection/AppIconExtractor.h"
#include "inspection/BuildScanner.h"
#include "inspection/BuildScannerError.h"
#include "inspection/GenericAppIcon.h"
#include "platform/core/Cancelled.h"
#include "platform/fs/TreeRemoval.h"
#include "platform/image/ImageDecoding.h"
#include "tests/inspection/BundleFixtures.h"
#include "tests/support/ImageFiles.h"
#include "tests/support/Thrown.h"

#include <QFile>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace bw;
using namespace bw::test;

namespace {

void link(const QString& target, const QString& at) {
    ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(at).constData()),
              0);
}

std::optional<BuildScannerError::Kind> failureOf(const std::function<void()>& call) {
    return thrownKind<BuildScannerError>(call);
}

QByteArray archiveInfo(const char* applicationPath) {
    return PlistValue(dictionary({{"ApplicationProperties",
                                   dictionaryValue({{"ApplicationPath", text(applicationPath)}})}}))
        .toXml();
}

std::optional<QImage> decoded(const std::optional<QByteArray>& png) {
    return png ? image::decodeLargestImage(*png) : std::nullopt;
}

QRgb centre(const std::optional<QImage>& image) {
    return image ? image->pixel(image->width() / 2, image->height() / 2) : 0;
}

class BundleReadingTest : public ::testing::Test {
protected:
    // The icon a scan would make: with the bundle's full item list.
    std::optional<QImage> scanIcon(const QString& bundle, const PlistDictionary& info) {
        const QString path = folder.path() + '/' + bundle;
        return decoded(app_icon_extractor::iconPNG(path, info, BuildScanner::bundleFiles(path)));
    }

    TestFolder folder;
    BuildScanner scanner{folder.path()};
};

} // namespace

TEST_F(BundleReadingTest, ExtensionsAreRecognisedInAnyCase) {
    writeIosBundle(folder, "Tool.App");
    writeIosBundle(folder, "Build.XCArchive/Products/Applications/Demo.app");
    EXPECT_EQ(scanner.prepareArtifact(folder.path() + "/Tool.App", folder.path()),
              folder.path() + "/Tool.App");
    EXPECT_EQ(scanner.prepareArtifact(folder.path() + "/Build.XCArchive", folder.path()),
              folder.path() + "/Build.XCArchive/Products/Applications/Demo.app");
}

TEST_F(BundleReadingTest, ArchiveDescriptionNamesTheBundleOrTheSearchFindsIt) {
    const QString archive = folder.path() + "/A.xcarchive";
    writeIosBundle(folder, "A.xcarchive/Products/Applications/First.app");
    writeIosBundle(folder, "A.xcarchive/Products/Applications/Second.app");
    writeIosBundle(folder, "Outside.app");
    folder.makeFolder("A.xcarchive/Distributions");
    link(folder.path() + "/Outside.app", archive + "/Products/Applications/Linked.app");
    const QString first = archive + "/Products/Applications/First.app";
    const QString second = archive + "/Products/Applications/Second.app";
    const struct {
        QByteArray info;
        QString expected;
    } cases[] = {
        {archiveInfo("Applications/Second.app"), second},
        {archiveInfo("Applications/Missing.app"), first},
        // "../" must not lead out of "Products", neither directly nor through a link.
        {archiveInfo("../../Outside.app"), first},
        {archiveInfo("Applications/Linked.app"), first},
        {PlistValue(dictionary({{"ApplicationProperties", text("x")}})).toXml(), first},
    };
    for (const auto& c : cases) {
        QFile::remove(archive + "/Info.plist");
        if (!c.info.isEmpty()) {
            folder.write("A.xcarchive/Info.plist", c.info);
        }
        EXPECT_EQ(BuildScanner::archiveApplicationURL(archive), c.expected) << c.info.constData();
    }
}

TEST_F(BundleReadingTest, ArchiveWithoutApplicationsFolderHasNoBundle) {
    folder.write("B.xcarchive/Info.plist", archiveInfo("Applications/Demo.app"));
    folder.makeFolder("B.xcarchive/Products/Library");
    EXPECT_EQ(
        failureOf([&] { BuildScanner::archiveApplicationURL(folder.path() + "/B.xcarchive"); }),
        BuildScannerError::Kind::appBundleNotFound);
}

TEST_F(BundleReadingTest, SearchFindsTheFirstBundleWithoutEnteringPackages) {
    writeIosBundle(folder, "Payload/Outer.app");
    writeIosBundle(folder, "Payload/Outer.app/Watch/Inner.app");
    EXPECT_EQ(BuildScanner::findApplicationBundle(folder.path() + "/Payload"),
              folder.path() + "/Payload/Outer.app");
    writeIosBundle(folder, "Nested/sub/Deep.app");
    folder.write("Nested/.Hidden.app/Info.plist", "x");
    EXPECT_EQ(BuildScanner::findApplicationBundle(folder.path() + "/Nested"),
              folder.path() + "/Nested/sub/Deep.app");
    // A link or a plain file named like a bundle is passed over.
    writeIosBundle(folder, "Elsewhere.app");
    folder.makeFolder("Links");
    link(folder.path() + "/Elsewhere.app", folder.path() + "/Links/A.app");
    folder.write("Links/B.app", "file");
    EXPECT_EQ(failureOf([&] { BuildScanner::findApplicationBundle(folder.path() + "/Links"); }),
              BuildScannerError::Kind::appBundleNotFound);
    EXPECT_EQ(failureOf([&] { BuildScanner::findApplicationBundle(folder.path() + "/None"); }),
              BuildScannerError::Kind::appBundleNotFound);
}

TEST_F(BundleReadingTest, ReadsTheInfoPlistOfEitherLayout) {
    const PlistDictionary info = iosInfo();
    folder.write("Root.app/Info.plist", PlistValue(info).toXml());
    folder.write("Mac.app/Contents/Info.plist", PlistValue(info).toBinary());
    folder.write("Both.app/Info.plist", PlistValue(dictionary({{"Which", text("root")}})).toXml());
    folder.write("Both.app/Contents/Info.plist",
                 PlistValue(dictionary({{"Which", text("mac")}})).toXml());
    folder.makeFolder("None.app");
    folder.write("List.app/Info.plist", PlistValue(PlistArray{}).toXml());
    folder.write("Garbage.app/Info.plist", "not a property list");
    folder.write("Secret.plist", PlistValue(info).toXml());
    folder.makeFolder("Linked.app");
    link(folder.path() + "/Secret.plist", folder.path() + "/Linked.app/Info.plist");
    folder.makeFolder("Escaping.app");
    link(folder.path() + "/Root.app", folder.path() + "/Escaping.app/Contents");

    EXPECT_EQ(BuildScanner::readInfoPlist(folder.path() + "/Root.app"), info);
    EXPECT_EQ(BuildScanner::readInfoPlist(folder.path() + "/Mac.app"), info);
    EXPECT_EQ(
        *plist::stringEntry(BuildScanner::readInfoPlist(folder.path() + "/Both.app"), u"Which"),
        "root");
    const std::pair<const char*, BuildScannerError::Kind> failures[] = {
        {"None.app", BuildScannerError::Kind::infoPlistMissing},
        {"List.app", BuildScannerError::Kind::infoPlistInvalid},
        {"Garbage.app", BuildScannerError::Kind::infoPlistInvalid},
        // Links are not followed out of the bundle, at the file or at a folder on the way.
        {"Linked.app", BuildScannerError::Kind::infoPlistInvalid},
        {"Escaping.app", BuildScannerError::Kind::infoPlistInvalid},
    };
    for (const auto& [name, kind] : failures) {
        EXPECT_EQ(failureOf([&] { BuildScanner::readInfoPlist(folder.path() + '/' + name); }), kind)
            << name;
    }
}

TEST_F(BundleReadingTest, FindsTheExecutableWhereItIsRunnable) {
    folder.write("I.app/Demo", "x", 0755);
    folder.write("M.app/Contents/MacOS/Demo", "x", 0755);
    folder.write("N.app/Demo", "x", 0644);
    folder.write("Tool", "x", 0755);
    const struct {
        const char* bundle;
        PlistValue name;
        std::optional<QString> expected;
    } cases[] = {
        {"I.app", text("Demo"), "I.app/Demo"},
        {"M.app", text("Demo"), "M.app/Contents/MacOS/Demo"},
        {"N.app", text("Demo"), std::nullopt},
        {"I.app", text("Missing"), std::nullopt},
        {"I.app", text("../Tool"), std::nullopt},
    };
    for (const auto& c : cases) {
        const QString bundle = folder.path() + '/' + c.bundle;
        const auto found =
            BuildScanner::executableURL(bundle, dictionary({{"CFBundleExecutable", c.name}}));
        EXPECT_EQ(found,
                  c.expected ? std::optional(folder.path() + '/' + *c.expected) : std::nullopt)
            << c.bundle;
    }
    EXPECT_FALSE(BuildScanner::executableURL(folder.path() + "/I.app", {}));
}

TEST_F(BundleReadingTest, ListsAndSizesNonHiddenItems) {
    folder.write("S.app/ten", QByteArray(10, 'x'));
    folder.write("S.app/Folder/twenty", QByteArray(20, 'x'));
    folder.write("S.app/.hidden", QByteArray(5, 'x'));
    folder.write("S.app/Frameworks/Kit.framework/Kit", QByteArray(7, 'x'));
    folder.write("Big", QByteArray(1000, 'x'));
    link(folder.path() + "/Big", folder.path() + "/S.app/link");
    const QString app = folder.path() + "/S.app";
    EXPECT_EQ(BuildScanner::bundleSize(app), 37);
    QStringList names;
    for (const QString& item : BuildScanner::bundleFiles(app)) {
        names << item.mid(app.size() + 1);
    }
    EXPECT_EQ(names,
              (QStringList{"Folder", "Folder/twenty", "Frameworks", "Frameworks/Kit.framework",
                           "Frameworks/Kit.framework/Kit", "link", "ten"}));
    EXPECT_TRUE(BuildScanner::bundleFiles(folder.path() + "/Missing.app").empty());
    EXPECT_EQ(BuildScanner::bundleSize(folder.path() + "/Missing.app"), 0);
}

TEST_F(BundleReadingTest, MetadataTextsFallBackWhenEntriesAreMissingOrNotText) {
    const QString app = folder.makeFolder("Demo.app");
    // Application name, identifier, version, build number and minimum system.
    const std::pair<PlistDictionary, QStringList> cases[] = {
        {dictionary({{"CFBundleName", text("Demo Name")}}),
         {"Demo Name", "Unknown", "Unavailable", "Unavailable", "Unavailable"}},
        {dictionary({{"CFBundleDisplayName", text("Shown")}, {"CFBundleName", text("Name")}}),
         {"Shown", "Unknown", "Unavailable", "Unavailable", "Unavailable"}},
        {dictionary({{"CFBundleDisplayName", number(3)},
                     {"CFBundleIdentifier", text("")},
                     {"LSMinimumSystemVersion", text("13.0")}}),
         {"Demo", "", "Unavailable", "Unavailable", "13.0"}},
        {dictionary({{"CFBundleShortVersionString", text("2.0")},
                     {"CFBundleVersion", text("7")},
                     {"MinimumOSVersion", text("17.0")},
                     {"LSMinimumSystemVersion", text("13.0")}}),
         {"Demo", "Unknown", "2.0", "7", "17.0"}},
    };
    for (const auto& [info, expected] : cases) {
        const BuildMetadata metadata =
            BuildScanner::makeBuildMetadata(info, app, {}, {"arm64", "x86_64", "arm64"});
        EXPECT_EQ((QStringList{metadata.appName, metadata.bundleIdentifier, metadata.version,
                               metadata.buildNumber, metadata.minimumOS}),
                  expected);
        EXPECT_EQ(metadata.architectures, (std::vector<QString>{"arm64", "x86_64", "arm64"}));
    }
}

TEST_F(BundleReadingTest, MetadataEmbeddedFrameworksSortedAndUnique) {
    const QString app = folder.makeFolder("Demo.app");
    folder.makeFolder("Demo.app/Frameworks/Zeta.framework");
    folder.makeFolder("Demo.app/Frameworks/alpha.framework");
    folder.makeFolder("Demo.app/Frameworks/_Private.framework");
    folder.makeFolder("Demo.app/PlugIns/Ext.appex/Frameworks/Zeta.framework");
    folder.makeFolder("Demo.app/Frameworks/Nested.FRAMEWORK/Frameworks/Inner.framework");
    folder.write("Demo.app/a.txt", QByteArray(12, 'x'));
    const BuildMetadata metadata =
        BuildScanner::makeBuildMetadata(iosInfo(), app, BuildScanner::bundleFiles(app), {});
    EXPECT_EQ(metadata.sdkNames, (std::vector<QString>{"Inner", "Nested", "Zeta", "alpha"}));
    EXPECT_EQ(metadata.bundleSize, 12);
    EXPECT_EQ(metadata.platform, "iOS");
    EXPECT_FALSE(metadata.iconPNG);
}

TEST_F(BundleReadingTest, PreviewWithoutInfoPlistLeavesNoFolderBehind) {
    folder.makeFolder("Empty.app");
    EXPECT_EQ(thrownKind<BuildScannerError>([&] { scanner.preview(folder.path() + "/Empty.app"); }),
              BuildScannerError::Kind::infoPlistMissing);
    std::stop_source source;
    source.request_stop();
    EXPECT_THROW(scanner.preview(folder.path() + "/Empty.app", source.get_token()), Cancelled);
    fs::waitForBackgroundRemovals();
    EXPECT_TRUE(folder.leftovers().isEmpty());
}

TEST_F(BundleReadingTest, PrimaryIconFilesPickTheLargestVariant) {
    const PlistDictionary info = dictionary(
        {{"CFBundleIcons",
          dictionaryValue({{"CFBundlePrimaryIcon",
                            dictionaryValue({{"CFBundleIconFiles",
                                              PlistValue(PlistArray{text("AppIcon60x60")})}})}})}});
    folder.write("A.app/AppIcon60x60@2x.png", solidPng(QSize(120, 120), Qt::red));
    folder.write("A.app/AppIcon60x60.png", solidPng(QSize(180, 180), Qt::blue));
    const auto icon = scanIcon("A.app", info);
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->size(), QSize(128, 128));
    EXPECT_EQ(centre(icon), QColor(Qt::blue).rgba());
}

TEST_F(BundleReadingTest, IconSizeAndShapeRules) {
    const struct {
        QSize size;
        std::optional<QSize> rendered;
    } cases[] = {
        {QSize(39, 39), std::nullopt},        {QSize(40, 40), QSize(40, 40)},
        {QSize(82, 100), std::nullopt},       {QSize(83, 100), QSize(83, 100)},
        {QSize(121, 100), QSize(121, 100)},   {QSize(122, 100), std::nullopt},
        {QSize(1210, 1000), QSize(128, 106)}, {QSize(1000, 1210), QSize(106, 128)},
    };
    int index = 0;
    for (const auto& c : cases) {
        const QString bundle = QStringLiteral("S%1.app").arg(index++);
        folder.write(bundle + "/AppIcon.png", solidPng(c.size, Qt::green));
        const auto icon = scanIcon(bundle, {});
        EXPECT_EQ(icon ? std::optional(icon->size()) : std::nullopt, c.rendered)
            << c.size.width() << "x" << c.size.height();
    }
}

TEST_F(BundleReadingTest, MacBundleWithoutUsableIconGetsTheGenericIcon) {
    folder.write("Mac.app/Contents/Info.plist", "x");
    folder.write("Mac.app/Contents/Resources/AppIcon.png", solidPng(QSize(39, 39), Qt::red));
    folder.write("Phone.app/Info.plist", "x");
    folder.write("Phone.app/AppIcon.png", solidPng(QSize(39, 39), Qt::red));
    const auto mac = scanIcon("Mac.app", {});
    ASSERT_TRUE(mac);
    EXPECT_EQ(mac->size(), QSize(128, 128));
    EXPECT_EQ(mac->convertToFormat(QImage::Format_ARGB32_Premultiplied),
              genericAppIcon(128).convertToFormat(QImage::Format_ARGB32_Premultiplied));
    EXPECT_FALSE(scanIcon("Phone.app", {}));
}

TEST_F(BundleReadingTest, FrameworkIconsOnlyWhenDeclaredByName) {
    folder.write("F.app/Frameworks/Kit.framework/AppIcon.png", solidPng(QSize(60, 60), Qt::red));
    EXPECT_FALSE(scanIcon("F.app", {}));
    const auto declared = scanIcon("F.app", dictionary({{"CFBundleIconFile", text("AppIcon")}}));
    ASSERT_TRUE(declared);
    EXPECT_EQ(declared->size(), QSize(60, 60));
    for (const char* path : {"G.app/PlugIns/P.appex/AppIcon.png", "G.app/Watch/W.app/AppIcon.png",
                             "G.app/Extensions/AppIcon.png"}) {
        folder.write(path, solidPng(QSize(60, 60), Qt::red));
    }
    EXPECT_FALSE(scanIcon("G.app", {}));
}

TEST_F(BundleReadingTest, HostileIconCandidatesAreSkipped) {
    // A header declaring 50,000 x 50,000 pixels, and links to files outside the bundle.
    folder.write("H.app/AppIconHuge.png", pngDeclaring(QSize(50000, 50000)));
    folder.write("outside.png", solidPng(QSize(500, 500), Qt::red));
    link(folder.path() + "/outside.png", folder.path() + "/H.app/AppIconLink.png");
    folder.write("H.app/AppIconSmall.png", solidPng(QSize(50, 50), Qt::blue));
    const auto icon = scanIcon("H.app", {});
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->size(), QSize(50, 50));
}

TEST_F(BundleReadingTest, MacIconFromIcnsInResources) {
    folder.write("M.app/Contents/Info.plist", "x");
    folder.write("M.app/Contents/Resources/Whatever.icns",
                 icnsFile({{"ic07", solidPng(QSize(128, 128), Qt::red)},
                           {"ic09", solidPng(QSize(512, 512), Qt::blue)}}));
    const auto icon = scanIcon("M.app", dictionary({{"CFBundleIconFile", text("Whatever")}}));
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->size(), QSize(128, 128));
    EXPECT_EQ(centre(icon), QColor(Qt::blue).rgba());
}

TEST_F(BundleReadingTest, IconPreviewLooksOnlyAtTheTopLevel) {
    writeIosBundle(folder, "P.app");
    folder.write("P.app/Sub/AppIcon.png", solidPng(QSize(80, 80), Qt::red));
    const QString bundle = folder.path() + "/P.app";
    EXPECT_FALSE(scanner.preview(bundle).iconPNG);
    folder.write("P.app/AppIcon.png", solidPng(QSize(80, 80), Qt::red));
    EXPECT_TRUE(scanner.preview(bundle).iconPNG);
}
