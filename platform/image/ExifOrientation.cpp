#include "platform/image/ExifOrientation.h"

#include "platform/image/ByteReading.h"
#include "platform/image/PngChunks.h"

#include <QTransform>

namespace bw::image {

namespace {

constexpr uint16_t orientationTag = 0x0112;
constexpr uint16_t shortType = 3;

// Reads TIFF numbers in the byte order the EXIF block declares.
class TiffView {
public:
    explicit TiffView(QByteArray data) : data_(std::move(data)) {
        bigEndian_ = data_.startsWith(QByteArray("MM\0*", 4));
        valid_ = bigEndian_ || data_.startsWith(QByteArray("II*\0", 4));
    }

    bool valid() const { return valid_; }

    std::optional<uint16_t> u16(qsizetype offset) const {
        if (offset < 0 || offset > data_.size() - 2) {
            return std::nullopt;
        }
        const auto a = uint8_t(data_[offset]);
        const auto b = uint8_t(data_[offset + 1]);
        return bigEndian_ ? uint16_t((a << 8) | b) : uint16_t((b << 8) | a);
    }

    std::optional<uint32_t> u32(qsizetype offset) const {
        const auto high = u16(offset + (bigEndian_ ? 0 : 2));
        const auto low = u16(offset + (bigEndian_ ? 2 : 0));
        if (!high || !low) {
            return std::nullopt;
        }
        return (uint32_t(*high) << 16) | *low;
    }

private:
    QByteArray data_;
    bool bigEndian_ = false;
    bool valid_ = false;
};

// The orientation entry of the first image file directory of a TIFF-structured EXIF block.
int orientationInTiff(const QByteArray& tiff) {
    const TiffView view(tiff);
    const auto directory = view.valid() ? view.u32(4) : std::nullopt;
    const auto count = directory ? view.u16(qsizetype(*directory)) : std::nullopt;
    if (!count) {
        return 1;
    }
    for (int index = 0; index < *count; ++index) {
        const qsizetype entry = qsizetype(*directory) + 2 + qsizetype(index) * 12;
        const auto tag = view.u16(entry);
        if (!tag) {
            return 1;
        }
        if (*tag != orientationTag) {
            continue;
        }
        const auto type = view.u16(entry + 2);
        const auto value = view.u16(entry + 8);
        if (type != shortType || !value || *value < 1 || *value > 8) {
            return 1;
        }
        return *value;
    }
    return 1;
}

QByteArray jpegExif(const QByteArray& bytes) {
    qsizetype offset = 2;
    while (offset + 4 <= bytes.size() && uint8_t(bytes[offset]) == 0xff) {
        const uint8_t marker = uint8_t(bytes[offset + 1]);
        if (marker == 0xda || marker == 0xd9) {
            break; // metadata comes before the scan
        }
        const qsizetype length = (uint8_t(bytes[offset + 2]) << 8) | uint8_t(bytes[offset + 3]);
        if (length < 2) {
            break;
        }
        const QByteArray segment = bytes.mid(offset + 4, length - 2);
        if (marker == 0xe1 && segment.startsWith(QByteArray("Exif\0\0", 6))) {
            return segment.mid(6);
        }
        offset += 2 + length;
    }
    return {};
}

QByteArray pngExif(const QByteArray& bytes) {
    qsizetype offset = 8;
    while (true) {
        const auto length = readBigEndian32(bytes, offset);
        if (!length || *length > 0x7fffffffu || offset + 12 > bytes.size()) {
            return {};
        }
        const QByteArray type = bytes.mid(offset + 4, 4);
        if (type == "eXIf") {
            return bytes.mid(offset + 8, qsizetype(*length));
        }
        if (type == "IEND") {
            return {};
        }
        offset += qsizetype(*length) + 12;
    }
}

QImage rotated(const QImage& image, int degrees) {
    return image.transformed(QTransform().rotate(degrees));
}

} // namespace

int exifOrientation(const QByteArray& bytes) {
    if (bytes.startsWith("\xff\xd8")) {
        return orientationInTiff(jpegExif(bytes));
    }
    if (hasPngSignature(bytes)) {
        return orientationInTiff(pngExif(bytes));
    }
    return 1;
}

QImage applyOrientation(const QImage& image, int orientation) {
    switch (orientation) {
    case 2:
        return image.mirrored(true, false);
    case 3:
        return image.mirrored(true, true);
    case 4:
        return image.mirrored(false, true);
    case 5:
        return rotated(image, 90).mirrored(true, false);
    case 6:
        return rotated(image, 90);
    case 7:
        return rotated(image, 90).mirrored(false, true);
    case 8:
        return rotated(image, 270);
    default:
        return image;
    }
}

} // namespace bw::image
