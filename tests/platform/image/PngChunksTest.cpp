#include "platform/image/PngChunks.h"

#include "platform/image/ImageDecoding.h"
#include "platform/image/Thumbnail.h"
#include "tests/support/ImageFiles.h"

#include <QImage>
#include <gtest/gtest.h>

namespace bw::image {
namespace {

// `extra` inserted right before the IEND chunk (12 bytes at the end of a file Qt wrote).
QByteArray withChunkBeforeEnd(const QByteArray& png, const QByteArray& extra) {
    return png.left(png.size() - 12) + extra + png.right(12);
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
        EXPECT_EQ(pngChunksFitInData(c.bytes), c.whole) << c.name;
        EXPECT_EQ(decodeLargestImage(c.bytes).has_value(), c.whole) << c.name;
        EXPECT_EQ(makeThumbnail(c.bytes, 64, 1 << 20).has_value(), c.whole) << c.name;
    }
}

} // namespace
} // namespace bw::image
