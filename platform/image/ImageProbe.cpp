#include "platform/image/ImageProbe.h"

#include "platform/image/ByteReading.h"
#include "platform/image/HeifDecoding.h"
#include "platform/image/ImageDecoding.h"
#include "platform/image/PngChunks.h"

#include <QBuffer>
#include <QImageReader>
#include <zlib.h>

namespace bw::image {

namespace {

bool validPngDepth(int colorType, int bitDepth) {
    switch (colorType) {
    case 0:
        return bitDepth == 1 || bitDepth == 2 || bitDepth == 4 || bitDepth == 8 || bitDepth == 16;
    case 3:
        return bitDepth == 1 || bitDepth == 2 || bitDepth == 4 || bitDepth == 8;
    case 2:
    case 4:
    case 6:
        return bitDepth == 8 || bitDepth == 16;
    default:
        return false;
    }
}

bool chunkCrcMatches(const QByteArray& bytes, qsizetype offset, uint32_t length) {
    const auto stored = readBigEndian32(bytes, offset + 8 + qsizetype(length));
    if (!stored) {
        return false;
    }
    const auto* typeAndData = reinterpret_cast<const Bytef*>(bytes.constData() + offset + 4);
    return crc32(crc32(0, nullptr, 0), typeAndData, uInt(length + 4)) == *stored;
}

// True when a tRNS chunk comes before the image data: grey, RGB and palette images then carry
// transparency.
bool hasTransparencyChunk(const QByteArray& bytes) {
    qsizetype offset = 8;
    while (true) {
        const auto length = readBigEndian32(bytes, offset);
        if (!length || *length > 0x7fffffffu || offset + 12 > bytes.size()) {
            return false;
        }
        const QByteArray type = bytes.mid(offset + 4, 4);
        if (type == "tRNS") {
            return true;
        }
        if (type == "IDAT" || type == "IEND") {
            return false;
        }
        offset += qsizetype(*length) + 12;
    }
}

std::optional<ImageProbe> probePng(const QByteArray& bytes) {
    const auto header = readPngHeader(bytes);
    if (!header || !validPngDepth(header->colorType, header->bitDepth) || header->interlace > 1) {
        return std::nullopt;
    }
    // A damaged header means a damaged file: nothing else in it can be trusted.
    const qsizetype ihdr = header->cgbi ? 8 + 12 + qsizetype(*readBigEndian32(bytes, 8)) : 8;
    if (!chunkCrcMatches(bytes, ihdr, 13)) {
        return std::nullopt;
    }
    const bool alpha =
        header->colorType == 4 || header->colorType == 6 || hasTransparencyChunk(bytes);
    return ImageProbe{header->size, alpha};
}

std::optional<uint16_t> readBigEndian16(const QByteArray& bytes, qsizetype offset) {
    if (offset < 0 || offset > bytes.size() - 2) {
        return std::nullopt;
    }
    return uint16_t((uint8_t(bytes[offset]) << 8) | uint8_t(bytes[offset + 1]));
}

bool isStartOfFrame(uint8_t marker) {
    return marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 && marker != 0xcc;
}

// Walks the marker segments up to the first frame header; JPEG has no alpha.
std::optional<ImageProbe> probeJpeg(const QByteArray& bytes) {
    qsizetype offset = 2;
    while (offset < bytes.size()) {
        if (uint8_t(bytes[offset]) != 0xff) {
            return std::nullopt;
        }
        while (offset < bytes.size() && uint8_t(bytes[offset]) == 0xff) {
            ++offset; // fill bytes
        }
        if (offset >= bytes.size()) {
            return std::nullopt;
        }
        const uint8_t marker = uint8_t(bytes[offset++]);
        if (marker == 0x01 || (marker >= 0xd0 && marker <= 0xd7)) {
            continue; // markers without a segment
        }
        if (marker == 0xd8 || marker == 0xd9 || marker == 0xda) {
            return std::nullopt; // a scan or the end before any frame header
        }
        const auto length = readBigEndian16(bytes, offset);
        if (!length || *length < 2) {
            return std::nullopt;
        }
        if (isStartOfFrame(marker)) {
            const auto height = readBigEndian16(bytes, offset + 3);
            const auto width = readBigEndian16(bytes, offset + 5);
            if (*length < 8 || !height || !width || *height == 0 || *width == 0) {
                return std::nullopt;
            }
            return ImageProbe{QSize(*width, *height), false};
        }
        offset += *length;
    }
    return std::nullopt;
}

// Readers that cannot tell the pixel format from the header (GIF, WebP) answer with an invalid
// format, which says nothing about alpha: the first image itself tells, decoded within the
// pixel limit. One beyond the limit, or one that does not decode, counts as opaque.
bool decodesWithAlpha(QImageReader& reader, QSize size) {
    if (qint64(size.width()) * size.height() > maxDecodedPixels) {
        return false;
    }
    reader.setAllocationLimit(int(maxDecodedPixels * 4 / (1024 * 1024) + 1));
    const QImage image = reader.read();
    return !image.isNull() && image.hasAlphaChannel();
}

std::optional<ImageProbe> probeWithQt(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    if (!reader.canRead()) {
        return std::nullopt;
    }
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty()) {
        return std::nullopt;
    }
    const QImage::Format format = reader.imageFormat();
    if (format == QImage::Format_Invalid) {
        return ImageProbe{size, decodesWithAlpha(reader, size)};
    }
    return ImageProbe{size, QImage::toPixelFormat(format).alphaUsage() == QPixelFormat::UsesAlpha};
}

} // namespace

std::optional<ImageProbe> probeImage(const QByteArray& bytes) {
    if (hasPngSignature(bytes)) {
        return probePng(bytes);
    }
    if (bytes.startsWith("\xff\xd8")) {
        return probeJpeg(bytes);
    }
    if (isHeif(bytes)) {
        return probeHeif(bytes);
    }
    return probeWithQt(bytes);
}

} // namespace bw::image
