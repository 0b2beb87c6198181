#include "platform/image/Thumbnail.h"

#include "platform/image/ExifOrientation.h"
#include "platform/image/JpegEncoding.h"
#include "tests/support/ImageFiles.h"

#include <QBuffer>
#include <QElapsedTimer>
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

TEST(ExifOrientation, ReadsTheOrientationOfJpegAndPng) {
    const QImage image = quadrantImage(QSize(16, 8));
    struct Case {
        const char* name;
        QByteArray bytes;
        int expected;
    };
    const std::vector<Case> cases = {
        {"jpeg without exif", test::jpegData(image), 1},
        {"jpeg big-endian 6", test::jpegWithOrientation(image, 6, true), 6},
        {"jpeg little-endian 8", test::jpegWithOrientation(image, 8, false), 8},
        {"jpeg out of range", test::jpegWithOrientation(image, 9), 1},
        {"png with exif 3", test::pngWithOrientation(image, 3), 3},
        {"heic", test::heicData(image, false), 1},
        {"jpeg header only", QByteArray("\xff\xd8", 2), 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(exifOrientation(c.bytes), c.expected) << c.name;
    }
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

TEST(ExifOrientation, TurnsPngWithAnExifChunk) {
    const auto thumbnail =
        makeThumbnail(test::pngWithOrientation(quadrantImage(QSize(40, 20)), 6), 1800);
    ASSERT_TRUE(thumbnail.has_value());
    EXPECT_EQ(thumbnail->size(), QSize(20, 40));
    // Turned a quarter clockwise: the blue lower-left quadrant now lies top left.
    EXPECT_EQ(thumbnail->pixel(2, 2), qRgb(30, 40, 210));
    EXPECT_EQ(thumbnail->pixel(17, 2), qRgb(220, 30, 30));
}

TEST(Thumbnail, FitsTheLongerSideAndNeverEnlarges) {
    struct Case {
        const char* name;
        QByteArray bytes;
        QSize expected;
    };
    const std::vector<Case> cases = {
        {"portrait png", test::pngData(quadrantImage(QSize(1320, 2868))), QSize(828, 1800)},
        {"landscape jpeg", test::jpegData(quadrantImage(QSize(4000, 1000))), QSize(1800, 450)},
        {"exactly the bound", test::pngData(quadrantImage(QSize(1800, 900))), QSize(1800, 900)},
        {"small png", test::pngData(quadrantImage(QSize(300, 400))), QSize(300, 400)},
        {"rotated jpeg", test::jpegWithOrientation(quadrantImage(QSize(2868, 1320)), 6),
         QSize(828, 1800)},
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
    EXPECT_FALSE(makeThumbnail("plain text with a .png name", 1800).has_value());
    EXPECT_FALSE(makeThumbnail(square.left(square.size() / 2), 1800).has_value());

    // A header declaring 60 billion pixels is refused at once, with nothing allocated for it.
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(makeThumbnail(test::pngDeclaring(QSize(200000, 300000)), 1800).has_value());
    // Within the limit but without the pixel data it promises.
    EXPECT_FALSE(makeThumbnail(test::pngDeclaring(QSize(4000, 4000)), 1800).has_value());
    EXPECT_LT(timer.elapsed(), 2000);
}

TEST(JpegEncoding, LaysTranslucentPixelsOntoWhite) {
    QImage image(64, 64, QImage::Format_ARGB32);
    image.fill(qRgba(0, 0, 0, 0));
    const QByteArray jpeg = encodeJpeg(image, 0.86);
    ASSERT_TRUE(jpeg.startsWith("\xff\xd8"));
    const QImage decoded = QImage::fromData(jpeg, "jpeg");
    ASSERT_EQ(decoded.size(), QSize(64, 64));
    EXPECT_GE(qGray(decoded.pixel(32, 32)), 250);
}

TEST(JpegEncoding, KeepsTheImageRecognisable) {
    const QImage source = quadrantImage(QSize(200, 100));
    const QImage decoded = QImage::fromData(encodeJpeg(source, 0.86), "jpeg");
    ASSERT_EQ(decoded.size(), source.size());
    for (const QPoint point : {QPoint(20, 20), QPoint(180, 20), QPoint(20, 80), QPoint(180, 80)}) {
        const QRgb want = source.pixel(point);
        const QRgb got = decoded.pixel(point);
        EXPECT_NEAR(qRed(got), qRed(want), 8);
        EXPECT_NEAR(qGreen(got), qGreen(want), 8);
        EXPECT_NEAR(qBlue(got), qBlue(want), 8);
    }
    EXPECT_TRUE(encodeJpeg(QImage(), 0.86).isEmpty());
}

} // namespace
} // namespace bw::image
