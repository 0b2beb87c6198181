#include "platform/image/PngChunks.h"

#include "platform/image/ImageDecoding.h"
#include "platform/image/Thumbnail.h"

#include <QBuffer>
#include <QImage>
#include <QtEndian>
#include <gtest/gtest.h>
#include <zlib.h>

namespace bw::image {
namespace {

QByteArray pngOf(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A chunk whose length field says `declared` while `data` is what actually follows.
QByteArray chunk(const char* type, quint32 declared, const QByteArray& data) {
    QByteArray length(4, '\0');
    qToBigEndian(declared, length.data());
    const QByteArray typed = QByteArray(type) + data;
    QByteArray checksum(4, '\0');
    qToBigEndian(
        quint32(crc32(0, reinterpret_cast<const Bytef*>(typed.constData()), uInt(typed.size()))),
        checksum.data());
    return length + typed + checksum;
}

// `extra` inserted right before the IEND chunk (12 bytes at the end of a file Qt wrote).
QByteArray withChunkBeforeEnd(const QByteArray& png, const QByteArray& extra) {
    return png.left(png.size() - 12) + extra + png.right(12);
}

TEST(PngChunks, ChunksThatClaimMoreThanTheDataAreRefusedBeforeDecoding) {
    QImage image(8, 4, QImage::Format_ARGB32);
    image.fill(Qt::red);
    const QByteArray png = pngOf(image);
    struct Case {
        const char* name;
        QByteArray bytes;
        bool whole;
    };
    const Case cases[] = {
        {"as written", png, true},
        {"with a small text chunk",
         withChunkBeforeEnd(png, chunk("tEXt", 4, QByteArray("a\0bc", 4))), true},
        {"text chunk claiming 1.2 GB after the pixels",
         withChunkBeforeEnd(png, chunk("tEXt", 1'200'000'000, QByteArray("a\0bc", 4))), false},
        {"claim of one byte too many", withChunkBeforeEnd(png, chunk("zzZz", 5, "abcd")), false},
        {"length field beyond 2^31", withChunkBeforeEnd(png, chunk("tEXt", 0xffffffffu, "x")),
         false},
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
