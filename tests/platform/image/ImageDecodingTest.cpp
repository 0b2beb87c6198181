#include "platform/image/ImageDecoding.h"

#include "platform/image/CgbiDecoder.h"
#include "platform/image/PngChunks.h"
#include "platform/image/PngEncoding.h"
#include "platform/image/Thumbnail.h"
#include "tests/support/ImageFiles.h"

#include <gtest/gtest.h>

using namespace bw;

namespace {

QImage premultiplied(const QImage& image) {
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// `extra` inserted right before the IEND chunk (12 bytes at the end of a file Qt wrote).
QByteArray withChunkBeforeEnd(const QByteArray& png, const QByteArray& extra) {
    return png.left(png.size() - 12) + extra + png.right(12);
}

} // namespace

TEST(CgbiDecoder, DecodesToTheSamePixelsAsTheOrdinaryPng) {
    for (const QSize size : {QSize(1, 1), QSize(7, 5), QSize(60, 60), QSize(120, 33)}) {
        const QImage original = test::patternImage(size);
        const auto fromPng = image::decodeLargestImage(image::encodePng(original));
        const auto fromCgbi = image::decodeLargestImage(test::encodeCgbi(original));
        ASSERT_TRUE(fromPng && fromCgbi) << size.width() << "x" << size.height();
        EXPECT_EQ(premultiplied(*fromCgbi), premultiplied(*fromPng))
            << size.width() << "x" << size.height();
    }
    // Opaque BGR, without an alpha channel.
    const QImage opaque = test::patternImage(QSize(20, 9)).convertToFormat(QImage::Format_RGB32);
    const auto decoded =
        image::decodeCgbi(test::encodeCgbi(opaque, false), image::maxDecodedPixels);
    EXPECT_EQ(decoded.value_or(QImage()).convertToFormat(QImage::Format_RGB32), opaque);
}

TEST(CgbiDecoder, RefusesBrokenAndOversizedData) {
    const QByteArray good = test::encodeCgbi(test::patternImage(QSize(16, 16)));
    QByteArray badFilter = test::encodeCgbi(test::patternImage(QSize(16, 16)));
    const QByteArray cases[] = {
        good.left(good.size() - 30),                       // pixel data cut short
        good.left(40),                                     // no image data at all
        QByteArray(good).replace("IHDR", "IHDX"),          // no header
        image::encodePng(test::patternImage(QSize(4, 4))), // an ordinary PNG is not CgBI
    };
    for (const QByteArray& bytes : cases) {
        EXPECT_FALSE(image::decodeCgbi(bytes, image::maxDecodedPixels));
    }
    EXPECT_TRUE(image::decodeCgbi(good, 256));
    EXPECT_FALSE(image::decodeCgbi(good, 255));
}

// The largest member wins unless it declares too many pixels or fails to decode.
TEST(ImageDecoding, IcnsGivesItsLargestMemberThatDecodesWithinTheLimit) {
    const QByteArray icns = test::icnsFile({
        {"TOC ", QByteArray(16, '\0')},
        {"ic07", test::solidPng(QSize(128, 128), Qt::red)},
        {"ic10", test::pngDeclaring(QSize(50000, 50000))},
        {"ic09", test::solidPng(QSize(512, 512), Qt::blue)},
        {"ic14", test::solidPng(QSize(1000, 1000), Qt::blue).left(60)},
        {"ic12", test::encodeCgbi(test::patternImage(QSize(64, 64)))},
        {"icnV", QByteArray(4, '\0')},
    });
    EXPECT_EQ(image::imageSizes(icns),
              (std::vector<QSize>{QSize(128, 128), QSize(50000, 50000), QSize(512, 512),
                                  QSize(1000, 1000), QSize(64, 64)}));
    const auto decoded = image::decodeLargestImage(icns);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->size(), QSize(512, 512));
    EXPECT_EQ(decoded->pixel(3, 3), QColor(Qt::blue).rgba());
}

TEST(ImageDecoding, IcnsIsReadOnlyAsFarAsItsFirstMembers) {
    // Each empty member failed to decode in turn: 100,000 of them took seconds.
    std::vector<test::IcnsEntry> members(300, {"ic07", {}});
    members.push_back({"ic08", test::solidPng(QSize(256, 256), Qt::green)});
    const QByteArray icns = test::icnsFile(members);
    EXPECT_EQ(image::imageSizes(icns).size(), 256u);
    EXPECT_FALSE(image::decodeLargestImage(icns));
}

TEST(ImageDecoding, TruncatedAndForeignDataGiveNothing) {
    const QByteArray cases[] = {
        {},
        "not an image",
        test::icnsFile({{"ic09", QByteArray("\x89PNG", 4)}}),
        test::icnsFile({}).append("ic09\xff\xff\xff\xff"),
    };
    for (const QByteArray& bytes : cases) {
        EXPECT_FALSE(image::decodeLargestImage(bytes)) << bytes.toHex().left(40).constData();
    }
}

TEST(PngEncoding, KeepsPixelsAndDropsTextChunks) {
    QImage picture = test::patternImage(QSize(9, 9));
    picture.setText(QStringLiteral("Comment"), QStringLiteral("secret"));
    const QByteArray png = image::encodePng(picture);
    EXPECT_FALSE(png.contains("secret"));
    const auto decoded = image::decodeLargestImage(png);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->convertToFormat(QImage::Format_ARGB32), picture);
}

TEST(PngChunks, ChunksThatClaimMoreThanTheDataAreRefusedBeforeDecoding) {
    QImage image(8, 4, QImage::Format_ARGB32);
    image.fill(Qt::red);
    const QByteArray png = test::pngData(image);
    struct Case {
        const char* name;
        QByteArray bytes;
        bool whole;
    };
    const Case cases[] = {
        {"as written", png, true},
        {"with a small text chunk",
         withChunkBeforeEnd(png, test::pngChunk("tEXt", QByteArray("a\0bc", 4), 4)), true},
        {"claim of one byte too many", withChunkBeforeEnd(png, test::pngChunk("zzZz", "abcd", 5)),
         false},
        {"length field beyond 2^31",
         withChunkBeforeEnd(png, test::pngChunk("tEXt", "x", 0xffffffffu)), false},
        {"trailing bytes after the end", png + "garbage", true},
        {"cut inside the pixel data", png.left(png.size() - 30), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(image::pngChunksFitInData(c.bytes), c.whole) << c.name;
        EXPECT_EQ(image::decodeLargestImage(c.bytes).has_value(), c.whole) << c.name;
        EXPECT_EQ(image::makeThumbnail(c.bytes, 64, 1 << 20).has_value(), c.whole) << c.name;
    }
}
