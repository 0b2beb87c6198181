#include "tests/support/ImageFiles.h"

#include "platform/image/PngEncoding.h"

#include <QBuffer>
#include <QDataStream>
#include <QPainter>
#include <QtEndian>
#include <cstdlib>
#include <cstring>
#include <libheif/heif.h>
#include <stdexcept>
#include <zlib.h>

namespace bw::test {

namespace {

QByteArray bigEndian32(uint32_t value) {
    const uint32_t stored = qToBigEndian(value);
    return QByteArray(reinterpret_cast<const char*>(&stored), 4);
}

// One image file directory holding only the orientation.
QByteArray tiffWithOrientation(int orientation, bool bigEndian) {
    QByteArray tiff(bigEndian ? "MM" : "II");
    QDataStream out(&tiff, QIODevice::Append);
    out.setByteOrder(bigEndian ? QDataStream::BigEndian : QDataStream::LittleEndian);
    // Magic number, offset of the directory, one entry: orientation, a SHORT, one value.
    out << quint16(42) << quint32(8) << quint16(1) << quint16(0x0112) << quint16(3) << quint32(1)
        << quint16(orientation) << quint16(0) << quint32(0);
    return tiff;
}

void check(heif_error error) {
    if (error.code != heif_error_Ok) {
        throw std::runtime_error(error.message);
    }
}

heif_error appendToByteArray(heif_context*, const void* data, size_t size, void* target) {
    static_cast<QByteArray*>(target)->append(static_cast<const char*>(data), qsizetype(size));
    return {heif_error_Ok, heif_suberror_Unspecified, "ok"};
}

QByteArray header(QSize size, int colorType, int bitDepth = 8) {
    return bigEndian32(uint32_t(size.width())) + bigEndian32(uint32_t(size.height())) +
           char(bitDepth) + char(colorType) + QByteArray(3, '\0');
}

// Raw deflate data when `windowBits` is negative, a zlib stream otherwise.
QByteArray deflated(const QByteArray& input, int windowBits, int level = 9,
                    int strategy = Z_DEFAULT_STRATEGY) {
    z_stream stream{};
    deflateInit2(&stream, level, Z_DEFLATED, windowBits, 8, strategy);
    QByteArray output(int(deflateBound(&stream, uLong(input.size()))), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.constData()));
    stream.avail_in = uInt(input.size());
    stream.next_out = reinterpret_cast<Bytef*>(output.data());
    stream.avail_out = uInt(output.size());
    deflate(&stream, Z_FINISH);
    output.truncate(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return output;
}

// What PNG row filter `filter` (0 to 4) predicts a byte from.
int predictor(int filter, int left, int up, int upLeft) {
    const int estimate = left + up - upLeft; // Paeth's
    const int a = std::abs(estimate - left), b = std::abs(estimate - up),
              c = std::abs(estimate - upLeft);
    const int predictions[] = {0, left, up, (left + up) / 2,
                               a <= b && a <= c ? left : (b <= c ? up : upLeft)};
    return predictions[filter];
}

// The image as Qt's writer for `format` encodes it.
QByteArray encoded(const QImage& image, const char* format, int quality = -1) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format, quality)) {
        throw std::runtime_error(std::string(format) + " encoding failed");
    }
    return data;
}

} // namespace

QByteArray pngChunk(const QByteArray& type, const QByteArray& data,
                    std::optional<quint32> declaredLength) {
    const QByteArray typeAndData = type + data;
    const auto crc =
        crc32(0, reinterpret_cast<const Bytef*>(typeAndData.constData()), uInt(typeAndData.size()));
    return bigEndian32(declaredLength.value_or(uint32_t(data.size()))) + typeAndData +
           bigEndian32(uint32_t(crc));
}

QImage quadrantImage(QSize size, bool translucent) {
    QImage image(size, QImage::Format_ARGB32);
    const int w = size.width() / 2;
    const int h = size.height() / 2;
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(0, 0, w, h, QColor(220, 30, 30));
    painter.fillRect(w, 0, size.width() - w, h, QColor(30, 200, 40, translucent ? 128 : 255));
    painter.fillRect(0, h, w, size.height() - h, QColor(30, 40, 210));
    painter.fillRect(w, h, size.width() - w, size.height() - h,
                     QColor(240, 220, 20, translucent ? 128 : 255));
    painter.end();
    return translucent ? image : image.convertToFormat(QImage::Format_RGB32);
}

QByteArray pngData(const QImage& image) {
    return encoded(image, "png");
}

QByteArray jpegData(const QImage& image, int quality) {
    return encoded(image, "jpeg", quality);
}

QByteArray jpegWithOrientation(const QImage& image, int orientation, bool bigEndian) {
    const QByteArray jpeg = jpegData(image);
    const QByteArray payload =
        QByteArray("Exif\0\0", 6) + tiffWithOrientation(orientation, bigEndian);
    const int length = int(payload.size()) + 2;
    const QByteArray segment =
        QByteArray("\xff\xe1") + char(length >> 8) + char(length & 0xff) + payload;
    return jpeg.left(2) + segment + jpeg.mid(2);
}

QByteArray pngWithOrientation(const QImage& image, int orientation) {
    const QByteArray png = pngData(image);
    // Right after the 8-byte signature and the 25-byte IHDR chunk.
    return png.left(33) + pngChunk("eXIf", tiffWithOrientation(orientation, true)) + png.mid(33);
}

QByteArray heicData(const QImage& source, bool alpha) {
    const QImage rgba =
        source.convertToFormat(alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    heif_image* image = nullptr;
    check(heif_image_create(rgba.width(), rgba.height(), heif_colorspace_RGB,
                            alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB,
                            &image));
    check(heif_image_add_plane(image, heif_channel_interleaved, rgba.width(), rgba.height(), 8));
    int stride = 0;
    uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    for (int y = 0; y < rgba.height(); ++y) {
        std::memcpy(plane + y * stride, rgba.constScanLine(y),
                    size_t(rgba.width() * (alpha ? 4 : 3)));
    }
    heif_context* context = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    check(heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder));
    check(heif_encoder_set_lossy_quality(encoder, 60));
    check(heif_context_encode_image(context, image, encoder, nullptr, nullptr));
    heif_encoder_release(encoder);
    heif_image_release(image);
    QByteArray data;
    heif_writer writer{1, appendToByteArray};
    check(heif_context_write(context, &writer, &data));
    heif_context_free(context);
    return data;
}

QByteArray solidPng(QSize size, QColor color) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(color);
    return image::encodePng(image);
}

QImage patternImage(QSize size) {
    QImage image(size, QImage::Format_ARGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const int alpha = (x + y) % 3 == 0 ? 255 : ((x * 37 + y * 11) % 256);
            image.setPixel(x, y, qRgba((x * 13) % 256, (y * 29) % 256, (x * y) % 256, alpha));
        }
    }
    return image;
}

QByteArray encodeCgbi(const QImage& image, bool alpha) {
    // Red and blue swapped: the bytes of each pixel in BGR(A) order.
    const QImage source =
        image.convertToFormat(alpha ? QImage::Format_RGBA8888_Premultiplied : QImage::Format_RGB888)
            .rgbSwapped();
    const int channels = alpha ? 4 : 3;
    QByteArray raw;
    QByteArray previous;
    for (int y = 0; y < source.height(); ++y) {
        const QByteArray row(reinterpret_cast<const char*>(source.constScanLine(y)),
                             source.width() * channels);
        const int filter = y % 5;
        QByteArray filtered(row.size(), '\0');
        for (qsizetype i = 0; i < row.size(); ++i) {
            const int left = i >= channels ? uchar(row[i - channels]) : 0;
            const int up = previous.isEmpty() ? 0 : uchar(previous[i]);
            const int upLeft =
                !previous.isEmpty() && i >= channels ? uchar(previous[i - channels]) : 0;
            filtered[i] = char(uchar(row[i]) - predictor(filter, left, up, upLeft));
        }
        raw += char(filter);
        raw += filtered;
        previous = row;
    }
    const QByteArray compressed = deflated(raw, -MAX_WBITS);
    const qsizetype half = compressed.size() / 2;
    return QByteArray("\x89PNG\r\n\x1a\n", 8) +
           pngChunk("CgBI", QByteArray("\x50\x00\x20\x06", 4)) +
           pngChunk("IHDR", header(source.size(), alpha ? 6 : 2)) +
           pngChunk("IDAT", compressed.left(half)) + pngChunk("IDAT", compressed.mid(half)) +
           pngChunk("IEND", {});
}

QByteArray pngDeclaring(QSize size) {
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header(size, 6)) +
           pngChunk("IDAT", QByteArray::fromHex("789c030000000001")) + pngChunk("IEND", {});
}

QByteArray blankPng(QSize size) {
    // Every row is its filter byte and black pixels: zeros alone.
    const QByteArray raw(qsizetype(size.height()) * (1 + (size.width() + 7) / 8), '\0');
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header(size, 0, 1)) +
           pngChunk("IDAT", deflated(raw, MAX_WBITS, Z_BEST_SPEED, Z_RLE)) + pngChunk("IEND", {});
}

QByteArray icnsFile(const std::vector<IcnsEntry>& entries) {
    QByteArray body;
    for (const IcnsEntry& entry : entries) {
        body += entry.type + bigEndian32(uint32_t(entry.data.size() + 8)) + entry.data;
    }
    return "icns" + bigEndian32(uint32_t(body.size() + 8)) + body;
}

} // namespace bw::test
