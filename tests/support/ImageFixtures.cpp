#include "tests/support/ImageFixtures.h"

#include "platform/image/PngEncoding.h"
#include "tests/support/ImageFiles.h"

#include <cstdlib>
#include <zlib.h>

namespace bw::test {

namespace {

QByteArray bigEndian32(uint32_t value) {
    const char bytes[4] = {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
    return QByteArray(bytes, 4);
}

QByteArray header(QSize size, int colorType, int bitDepth = 8) {
    QByteArray data = bigEndian32(uint32_t(size.width())) + bigEndian32(uint32_t(size.height()));
    data += char(bitDepth);
    data += char(colorType);
    data += QByteArray(3, '\0');
    return data;
}

QByteArray deflateRaw(const QByteArray& input) {
    z_stream stream{};
    deflateInit2(&stream, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
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

int predictor(int filter, int left, int up, int upLeft) {
    switch (filter) {
    case 1:
        return left;
    case 2:
        return up;
    case 3:
        return (left + up) / 2;
    case 4: {
        const int estimate = left + up - upLeft;
        const int a = std::abs(estimate - left), b = std::abs(estimate - up),
                  c = std::abs(estimate - upLeft);
        return a <= b && a <= c ? left : (b <= c ? up : upLeft);
    }
    default:
        return 0;
    }
}

} // namespace

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
    const QImage source =
        image.convertToFormat(alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    const int channels = alpha ? 4 : 3;
    QByteArray raw;
    QByteArray previous;
    for (int y = 0; y < source.height(); ++y) {
        QByteArray row;
        const auto* pixels = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        for (int x = 0; x < source.width(); ++x) {
            row += char(qBlue(pixels[x]));
            row += char(qGreen(pixels[x]));
            row += char(qRed(pixels[x]));
            if (alpha) {
                row += char(qAlpha(pixels[x]));
            }
        }
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
    const QByteArray compressed = deflateRaw(raw);
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
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_SPEED, Z_DEFLATED, 15, 9, Z_RLE);
    const QByteArray row(1 + (size.width() + 7) / 8, '\0'); // filter byte, then black pixels
    QByteArray compressed;
    QByteArray buffer(1 << 16, Qt::Uninitialized);
    for (int y = 0; y <= size.height(); ++y) {
        const bool last = y == size.height();
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(row.constData()));
        stream.avail_in = last ? 0 : uInt(row.size());
        do {
            stream.next_out = reinterpret_cast<Bytef*>(buffer.data());
            stream.avail_out = uInt(buffer.size());
            deflate(&stream, last ? Z_FINISH : Z_NO_FLUSH);
            compressed.append(buffer.constData(), buffer.size() - qsizetype(stream.avail_out));
        } while (stream.avail_out == 0);
    }
    deflateEnd(&stream);
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header(size, 0, 1)) +
           pngChunk("IDAT", compressed) + pngChunk("IEND", {});
}

QByteArray icnsFile(const std::vector<IcnsEntry>& entries) {
    QByteArray body;
    for (const IcnsEntry& entry : entries) {
        body += entry.type + bigEndian32(uint32_t(entry.data.size() + 8)) + entry.data;
    }
    return "icns" + bigEndian32(uint32_t(body.size() + 8)) + body;
}

} // namespace bw::test
