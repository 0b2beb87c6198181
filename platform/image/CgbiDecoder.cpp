#include "platform/image/CgbiDecoder.h"

#include "platform/image/ByteReading.h"
#include "platform/image/PngChunks.h"

#include <algorithm>
#include <cstdlib>
#include <vector>
#include <zlib.h>

namespace bw::image {

namespace {

constexpr int colorTypeRgb = 2;
constexpr int colorTypeRgba = 6;

std::optional<QByteArray> concatenatedImageData(const QByteArray& bytes) {
    QByteArray data;
    qsizetype offset = 8;
    while (true) {
        const auto length = readBigEndian32(bytes, offset);
        if (!length || *length > 0x7fffffffu || offset + 12 + qsizetype(*length) > bytes.size()) {
            return std::nullopt;
        }
        const QByteArray type = bytes.mid(offset + 4, 4);
        if (type == "IDAT") {
            data.append(bytes.constData() + offset + 8, qsizetype(*length));
        } else if (type == "IEND") {
            return data;
        }
        offset += 12 + qsizetype(*length);
    }
}

// Inflates raw deflate data into exactly `expected` bytes; more output than that is refused.
std::optional<std::vector<unsigned char>> inflateRaw(const QByteArray& input,
                                                     std::size_t expected) {
    std::vector<unsigned char> output(expected);
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) {
        return std::nullopt;
    }
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.constData()));
    stream.avail_in = static_cast<uInt>(input.size());
    std::size_t produced = 0;
    int status = Z_OK;
    while (produced < expected && status == Z_OK) {
        const std::size_t chunk = std::min<std::size_t>(expected - produced, 1u << 30);
        stream.next_out = output.data() + produced;
        stream.avail_out = static_cast<uInt>(chunk);
        status = inflate(&stream, Z_NO_FLUSH);
        produced += chunk - stream.avail_out;
        if (status == Z_BUF_ERROR && stream.avail_out == 0) {
            status = Z_OK;
        }
    }
    inflateEnd(&stream);
    if (produced != expected || (status != Z_OK && status != Z_STREAM_END)) {
        return std::nullopt;
    }
    return output;
}

unsigned char paeth(int left, int up, int upLeft) {
    const int estimate = left + up - upLeft;
    const int toLeft = std::abs(estimate - left);
    const int toUp = std::abs(estimate - up);
    const int toUpLeft = std::abs(estimate - upLeft);
    if (toLeft <= toUp && toLeft <= toUpLeft) {
        return static_cast<unsigned char>(left);
    }
    return static_cast<unsigned char>(toUp <= toUpLeft ? up : upLeft);
}

// Reverses the per-row filters in place; false for an unknown filter type.
bool unfilter(std::vector<unsigned char>& data, int width, int height, int channels) {
    const std::size_t stride = std::size_t(width) * std::size_t(channels);
    const unsigned char* previous = nullptr;
    for (int row = 0; row < height; ++row) {
        unsigned char* line = data.data() + std::size_t(row) * (stride + 1);
        const int filter = line[0];
        unsigned char* pixels = line + 1;
        for (std::size_t i = 0; i < stride; ++i) {
            const int left = i >= std::size_t(channels) ? pixels[i - channels] : 0;
            const int up = previous ? previous[i] : 0;
            const int upLeft = previous && i >= std::size_t(channels) ? previous[i - channels] : 0;
            switch (filter) {
            case 0:
                break;
            case 1:
                pixels[i] = static_cast<unsigned char>(pixels[i] + left);
                break;
            case 2:
                pixels[i] = static_cast<unsigned char>(pixels[i] + up);
                break;
            case 3:
                pixels[i] = static_cast<unsigned char>(pixels[i] + (left + up) / 2);
                break;
            case 4:
                pixels[i] = static_cast<unsigned char>(pixels[i] + paeth(left, up, upLeft));
                break;
            default:
                return false;
            }
        }
        previous = pixels;
    }
    return true;
}

QImage toImage(const std::vector<unsigned char>& data, int width, int height, int channels) {
    const bool alpha = channels == 4;
    QImage image(width, height, alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (image.isNull()) {
        return image;
    }
    const std::size_t stride = std::size_t(width) * std::size_t(channels);
    for (int row = 0; row < height; ++row) {
        const unsigned char* source = data.data() + std::size_t(row) * (stride + 1) + 1;
        auto* target = reinterpret_cast<QRgb*>(image.scanLine(row));
        for (int x = 0; x < width; ++x) {
            const unsigned char* pixel = source + std::size_t(x) * std::size_t(channels);
            // Stored as blue, green, red (and premultiplied alpha, which no channel may exceed).
            const int a = alpha ? pixel[3] : 255;
            target[x] = qRgba(std::min<int>(pixel[2], a), std::min<int>(pixel[1], a),
                              std::min<int>(pixel[0], a), a);
        }
    }
    return image;
}

} // namespace

std::optional<QImage> decodeCgbi(const QByteArray& bytes, qint64 maxPixels) {
    const auto header = readPngHeader(bytes);
    if (!header || !header->cgbi || header->bitDepth != 8 || header->interlace != 0) {
        return std::nullopt;
    }
    if (header->colorType != colorTypeRgb && header->colorType != colorTypeRgba) {
        return std::nullopt;
    }
    const int width = header->size.width();
    const int height = header->size.height();
    if (qint64(width) * qint64(height) > maxPixels) {
        return std::nullopt;
    }
    const int channels = header->colorType == colorTypeRgba ? 4 : 3;
    const auto compressed = concatenatedImageData(bytes);
    if (!compressed) {
        return std::nullopt;
    }
    const std::size_t expected = std::size_t(height) * (std::size_t(width) * channels + 1);
    auto data = inflateRaw(*compressed, expected);
    if (!data || !unfilter(*data, width, height, channels)) {
        return std::nullopt;
    }
    QImage image = toImage(*data, width, height, channels);
    if (image.isNull()) {
        return std::nullopt;
    }
    return image;
}

} // namespace bw::image
