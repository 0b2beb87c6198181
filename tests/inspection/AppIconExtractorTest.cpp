#include "inspection/AppIconExtractor.h"

#include "inspection/BuildScanner.h"
#include "inspection/GenericAppIcon.h"
#include "platform/image/ImageDecoding.h"
#include "tests/inspection/BundleFixtures.h"
#include "tests/support/ImageFiles.h"

#include <QFile>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace bw;
using namespace bw::test;

namespace {

std::optional<QImage> decoded(const std::optional<QByteArray>& png) {
    return png ? image::decodeLargestImage(*png) : std::nullopt;
}

QRgb centre(const std::optional<QImage>& image) {
    return image ? image->pixel(image->width() / 2, image->height() / 2) : 0;
}

PlistValue names(std::initializer_list<const char*> values) {
    PlistArray list;
    for (const char* value : values) {
        list.push_back(text(value));
    }
    return PlistValue(list);
}

class AppIconExtractorTest : public ::testing::Test {
protected:
    // The icon a scan would make: with the bundle's full item list.
    std::optional<QImage> scanIcon(const QString& bundle, const PlistDictionary& info) {
        const QString path = folder.path() + '/' + bundle;
        return decoded(app_icon_extractor::iconPNG(path, info, BuildScanner::bundleFiles(path)));
    }

    TestFolder folder;
};

} // namespace

TEST_F(AppIconExtractorTest, PrimaryIconFilesPickTheLargestVariant) {
    const PlistDictionary info = dictionary(
        {{"CFBundleIcons",
          dictionaryValue({{"CFBundlePrimaryIcon",
                            dictionaryValue({{"CFBundleIconFiles", names({"AppIcon60x60"})}})}})}});
    folder.write("A.app/AppIcon60x60@2x.png", solidPng(QSize(120, 120), Qt::red));
    folder.write("A.app/AppIcon60x60.png", solidPng(QSize(180, 180), Qt::blue));
    const auto icon = scanIcon("A.app", info);
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->size(), QSize(128, 128));
    EXPECT_EQ(centre(icon), QColor(Qt::blue).rgba());
}

TEST_F(AppIconExtractorTest, SizeAndShapeRules) {
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

TEST_F(AppIconExtractorTest, MacBundleWithoutUsableIconGetsTheGenericIcon) {
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

TEST_F(AppIconExtractorTest, EqualCandidatesKeepTheFirstFound) {
    folder.write("T.app/AppIcon-a.png", solidPng(QSize(100, 100), Qt::red));
    folder.write("T.app/AppIcon-b.png", solidPng(QSize(100, 100), Qt::blue));
    EXPECT_EQ(centre(scanIcon("T.app", {})), QColor(Qt::red).rgba());
}

TEST_F(AppIconExtractorTest, FrameworkIconsOnlyWhenDeclaredByName) {
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

TEST_F(AppIconExtractorTest, AssetCatalogOnlyBundleHasNoIcon) {
    folder.write("C.app/Assets.car", QByteArray(4096, 'x'));
    folder.write("C.app/Info.plist", "x");
    EXPECT_FALSE(scanIcon("C.app", dictionary({{"CFBundleIconName", text("AppIcon")}})));
}

TEST_F(AppIconExtractorTest, HostileCandidatesAreSkipped) {
    // A header declaring 50,000 x 50,000 pixels, and links to files outside the bundle.
    folder.write("H.app/AppIconHuge.png", pngDeclaring(QSize(50000, 50000)));
    folder.write("outside.png", solidPng(QSize(500, 500), Qt::red));
    ASSERT_EQ(::symlink(QFile::encodeName(folder.path() + "/outside.png").constData(),
                        QFile::encodeName(folder.path() + "/H.app/AppIconLink.png").constData()),
              0);
    folder.write("H.app/AppIconSmall.png", solidPng(QSize(50, 50), Qt::blue));
    const auto icon = scanIcon("H.app", {});
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->size(), QSize(50, 50));
}

TEST_F(AppIconExtractorTest, MacIcnsInResources) {
    folder.write("M.app/Contents/Info.plist", "x");
    folder.write("M.app/Contents/Resources/Whatever.icns",
                 icnsFile({{"ic07", solidPng(QSize(128, 128), Qt::red)},
                           {"ic09", solidPng(QSize(512, 512), Qt::blue)}}));
    const auto icon = scanIcon("M.app", dictionary({{"CFBundleIconFile", text("Whatever")}}));
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->size(), QSize(128, 128));
    EXPECT_EQ(centre(icon), QColor(Qt::blue).rgba());
}

TEST_F(AppIconExtractorTest, PreviewLooksOnlyAtTheTopLevel) {
    writeIosBundle(folder, "P.app");
    folder.write("P.app/Sub/AppIcon.png", solidPng(QSize(80, 80), Qt::red));
    const QString bundle = folder.path() + "/P.app";
    EXPECT_FALSE(BuildScanner(folder.path()).preview(bundle).iconPNG);
    folder.write("P.app/AppIcon.png", solidPng(QSize(80, 80), Qt::red));
    EXPECT_TRUE(BuildScanner(folder.path()).preview(bundle).iconPNG);
}
