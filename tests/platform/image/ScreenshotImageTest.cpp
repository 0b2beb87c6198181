#include "platform/image/HeifDecoding.h"
#include "platform/image/ImageProbe.h"
#include "platform/image/JpegEncoding.h"
#include "platform/image/Thumbnail.h"
#include "tests/support/ImageFiles.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <gtest/gtest.h>

namespace bw::image {
namespace {

using test::quadrantImage;

QImage readWithQtTransform(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    return reader.read().convertToFormat(QImage::Format_RGB32);
}

TEST(ExifOrientation, TurnsJpegUprightExactlyAsQtDoes) {
    // Asymmetric in both directions, so every one of the eight cases is distinct.
    const QImage image = quadrantImage(QSize(48, 32));
    for (int orientation = 1; orientation <= 8; ++orientation) {
        for (const bool bigEndian : {true, false}) {
            const QByteArray jpeg = test::jpegWithOrientation(image, orientation, bigEndian);
            const auto thumbnail = makeThumbnail(jpeg, 1800);
            ASSERT_TRUE(thumbnail.has_value()) << orientation;
            EXPECT_EQ(thumbnail->convertToFormat(QImage::Format_RGB32), readWithQtTransform(jpeg))
                << "orientation " << orientation << (bigEndian ? " MM" : " II");
        }
    }
}

TEST(Thumbnail, FitsTheLongerSideAndNeverEnlarges) {
    struct Case {
        const char* name;
        QByteArray bytes;
        QSize expected;
    };
    const std::vector<Case> cases = {
        {"portrait png", test::pngData(quadrantImage(QSize(1320, 2868))), QSize(828, 1800)},
        {"exactly the bound", test::pngData(quadrantImage(QSize(1800, 900))), QSize(1800, 900)},
        {"rotated jpeg", test::jpegWithOrientation(quadrantImage(QSize(2868, 1320)), 6),
         QSize(828, 1800)},
        {"rotated png", test::pngWithOrientation(quadrantImage(QSize(40, 20)), 6), QSize(20, 40)},
        {"orientation out of range", test::jpegWithOrientation(quadrantImage(QSize(40, 20)), 9),
         QSize(40, 20)},
        {"thin strip", test::pngData(quadrantImage(QSize(4000, 1))), QSize(1800, 1)},
    };
    for (const Case& c : cases) {
        const auto thumbnail = makeThumbnail(c.bytes, 1800);
        ASSERT_TRUE(thumbnail.has_value()) << c.name;
        EXPECT_EQ(thumbnail->size(), c.expected) << c.name;
    }
}

TEST(Thumbnail, RefusesWhatCannotBeDecodedOrIsTooLarge) {
    const QByteArray square = test::pngData(quadrantImage(QSize(100, 100)));
    EXPECT_FALSE(makeThumbnail(square, 1800, 100 * 100 - 1).has_value());
    EXPECT_TRUE(makeThumbnail(square, 1800, 100 * 100).has_value());

    // A header declaring 60 billion pixels is refused at once, with nothing allocated for it.
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(makeThumbnail(test::pngDeclaring(QSize(200000, 300000)), 1800).has_value());
    // Within the limit but without the pixel data it promises.
    EXPECT_FALSE(makeThumbnail(test::pngDeclaring(QSize(4000, 4000)), 1800).has_value());
    EXPECT_LT(timer.elapsed(), 2000);
}

// The screenshot review's tests decode what it sends.
TEST(JpegEncoding, LaysTranslucentPixelsOntoWhite) {
    QImage clear(64, 64, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    EXPECT_GE(qGray(QImage::fromData(encodeJpeg(clear, 0.86), "jpeg").pixel(32, 32)), 250);
    EXPECT_TRUE(encodeJpeg(QImage(), 0.86).isEmpty());
}

QImage transparentPalette() {
    QImage image(40, 30, QImage::Format_Indexed8);
    image.setColorTable({qRgba(255, 0, 0, 255), qRgba(0, 0, 255, 0)});
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
        {"png palette with transparency", test::pngData(transparentPalette()),
         ImageProbe{QSize(40, 30), true}},
        {"png cgbi", test::encodeCgbi(quadrantImage(size, true)), ImageProbe{size, true}},
        {"jpeg", test::jpegData(quadrantImage(size)), ImageProbe{size, false}},
        {"heic", test::heicData(quadrantImage(size), false), ImageProbe{size, false}},
        {"png declaring huge dimensions", test::pngDeclaring(QSize(200000, 300000)),
         ImageProbe{QSize(200000, 300000), true}},
        {"text", QByteArray("not an image at all, only words\n"), std::nullopt},
        {"png damaged header", withDamagedHeader(test::pngData(quadrantImage(size))), std::nullopt},
        {"jpeg without frame", QByteArray("\xff\xd8\xff\xe0\x00\x04\x00\x00\xff\xd9", 10),
         std::nullopt},
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

TEST(HeifDecoding, RefusesImagesOverThePixelLimitBeforeDecoding) {
    const QByteArray heic = test::heicData(quadrantImage(QSize(64, 64)), false);
    EXPECT_FALSE(decodeHeif(heic, 64 * 64 - 1).has_value());
    const auto decoded = decodeHeif(heic, 64 * 64);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_FALSE(decoded->hasAlphaChannel());
}

} // namespace
} // namespace bw::image
