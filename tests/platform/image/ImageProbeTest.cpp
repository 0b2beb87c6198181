#include "platform/image/ImageProbe.h"

#include "platform/image/HeifDecoding.h"
#include "platform/image/ImageDecoding.h"
#include "tests/support/ImageFiles.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <gtest/gtest.h>

namespace bw::image {
namespace {

using test::quadrantImage;

QImage palette(bool transparent) {
    QImage image(40, 30, QImage::Format_Indexed8);
    image.setColorTable({qRgba(255, 0, 0, 255), qRgba(0, 0, 255, transparent ? 0 : 255)});
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            image.setPixel(x, y, (x + y) % 2);
        }
    }
    return image;
}

QByteArray withDamagedHeader(QByteArray png) {
    png[20] = char(png[20] ^ 0x01); // a bit of the width, under the header's CRC
    return png;
}

struct ProbeCase {
    const char* name;
    QByteArray bytes;
    std::optional<ImageProbe> expected;
};

TEST(ImageProbe, ReadsSizeAndAlphaFromHeadersOfEveryFormat) {
    const QSize size(64, 48);
    const std::vector<ProbeCase> cases = {
        {"png rgb", test::pngData(quadrantImage(size)), ImageProbe{size, false}},
        {"png rgba", test::pngData(quadrantImage(size, true)), ImageProbe{size, true}},
        // The format decides, not the pixels: an RGBA file is an alpha file even when opaque.
        {"png opaque rgba",
         test::pngData(quadrantImage(size).convertToFormat(QImage::Format_ARGB32)),
         ImageProbe{size, true}},
        {"png palette with transparency", test::pngData(palette(true)),
         ImageProbe{QSize(40, 30), true}},
        {"png opaque palette", test::pngData(palette(false)), ImageProbe{QSize(40, 30), false}},
        {"png cgbi", test::encodeCgbi(quadrantImage(size, true)), ImageProbe{size, true}},
        {"jpeg", test::jpegData(quadrantImage(size)), ImageProbe{size, false}},
        {"heic", test::heicData(quadrantImage(size), false), ImageProbe{size, false}},
        {"heic with alpha", test::heicData(quadrantImage(size, true), true),
         ImageProbe{size, true}},
        {"png declaring huge dimensions", test::pngDeclaring(QSize(200000, 300000)),
         ImageProbe{QSize(200000, 300000), true}},
        {"text", QByteArray("not an image at all, only words\n"), std::nullopt},
        {"png signature only", QByteArray("\x89PNG\r\n\x1a\n", 8), std::nullopt},
        {"png damaged header", withDamagedHeader(test::pngData(quadrantImage(size))), std::nullopt},
        {"jpeg without frame", QByteArray("\xff\xd8\xff\xe0\x00\x04\x00\x00\xff\xd9", 10),
         std::nullopt},
        {"jpeg cut in its header", test::jpegData(quadrantImage(size)).left(30), std::nullopt},
        {"heic cut short", test::heicData(quadrantImage(size), false).left(40), std::nullopt},
    };
    for (const ProbeCase& c : cases) {
        EXPECT_EQ(probeImage(c.bytes), c.expected) << c.name;
    }
}

// GIF and WebP readers cannot tell their pixel format from the header; the alpha must still be
// the image's own.
TEST(ImageProbe, GifAndWebpHaveAlphaOnlyWhenTransparent) {
    for (const char* kind : {"opaque", "transparent"}) {
        for (const char* suffix : {".gif", "-lossy.webp", "-lossless.webp"}) {
            const QString name = QString::fromUtf8(kind) + QString::fromUtf8(suffix);
            QFile file(QStringLiteral(BW_IMAGE_FIXTURES_DIR "/") + name);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
            EXPECT_EQ(probeImage(file.readAll()),
                      (ImageProbe{QSize(312, 390), std::string_view(kind) == "transparent"}))
                << name.toStdString();
        }
    }
}

TEST(HeifDecoding, QtImageReadingSeesHeic) {
    const QByteArray heic = test::heicData(quadrantImage(QSize(80, 60), true), true);
    QBuffer buffer;
    buffer.setData(heic);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    ASSERT_TRUE(reader.canRead());
    EXPECT_EQ(reader.format(), "heic");
    EXPECT_EQ(reader.size(), QSize(80, 60));
    const QImage image = reader.read();
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(80, 60));
    EXPECT_TRUE(image.hasAlphaChannel());
    // The left half is opaque, the right half about half transparent.
    EXPECT_EQ(qAlpha(image.pixel(10, 10)), 255);
    EXPECT_NEAR(qAlpha(image.pixel(70, 10)), 128, 8);

    // The decoding used elsewhere for untrusted images reads HEIC through the same plugin.
    const auto largest = decodeLargestImage(heic);
    ASSERT_TRUE(largest.has_value());
    EXPECT_EQ(largest->size(), QSize(80, 60));
}

TEST(HeifDecoding, RefusesImagesOverThePixelLimitBeforeDecoding) {
    const QByteArray heic = test::heicData(quadrantImage(QSize(64, 64)), false);
    EXPECT_FALSE(decodeHeif(heic, 64 * 64 - 1).has_value());
    const auto decoded = decodeHeif(heic, 64 * 64);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_FALSE(decoded->hasAlphaChannel());
    // Colours survive lossy coding roughly.
    EXPECT_NEAR(qRed(decoded->pixel(5, 5)), 220, 20);
    EXPECT_NEAR(qBlue(decoded->pixel(5, 60)), 210, 20);
}

} // namespace
} // namespace bw::image
