#include "platform/image/PngChunks.h"

#include "platform/image/ByteReading.h"

namespace bw::image {

namespace {

constexpr char signature[] = "\x89PNG\r\n\x1a\n";

} // namespace

bool hasPngSignature(const QByteArray& bytes) {
    return bytes.startsWith(QByteArray(signature, 8));
}

bool pngChunksFitInData(const QByteArray& bytes) {
    qsizetype offset = 8;
    while (offset + 8 <= bytes.size()) {
        const auto length = readBigEndian32(bytes, offset);
        // Length, type, data and checksum.
        if (!length || qint64(*length) + 12 > qint64(bytes.size() - offset)) {
            return false;
        }
        if (bytes.mid(offset + 4, 4) == "IEND") {
            return true;
        }
        offset += qsizetype(*length) + 12;
    }
    return true;
}

std::optional<PngHeader> readPngHeader(const QByteArray& bytes) {
    if (!hasPngSignature(bytes)) {
        return std::nullopt;
    }
    qsizetype offset = 8;
    bool cgbi = false;
    // At most the CgBI chunk comes before IHDR.
    for (int chunk = 0; chunk < 2; ++chunk) {
        const auto length = readBigEndian32(bytes, offset);
        if (!length || *length > 0x7fffffffu) {
            return std::nullopt;
        }
        const QByteArray type = bytes.mid(offset + 4, 4);
        const qsizetype data = offset + 8;
        if (type == "CgBI" && chunk == 0) {
            cgbi = true;
            offset = data + qsizetype(*length) + 4;
            continue;
        }
        if (type != "IHDR" || *length < 13) {
            return std::nullopt;
        }
        const auto width = readBigEndian32(bytes, data);
        const auto height = readBigEndian32(bytes, data + 4);
        if (!width || !height || bytes.size() < data + 13 || *width == 0 || *height == 0 ||
            *width > 0x7fffffffu || *height > 0x7fffffffu) {
            return std::nullopt;
        }
        return PngHeader{QSize(int(*width), int(*height)),
                         static_cast<unsigned char>(bytes[data + 8]),
                         static_cast<unsigned char>(bytes[data + 9]),
                         static_cast<unsigned char>(bytes[data + 12]), cgbi};
    }
    return std::nullopt;
}

} // namespace bw::image
