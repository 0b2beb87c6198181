#pragma once

#include <QByteArray>
#include <QSize>
#include <optional>

// Reading the chunk structure of PNG data, for the ordinary format and Apple's CgBI variant.
namespace bw::image {

struct PngHeader {
    QSize size;
    int bitDepth;
    int colorType;
    int interlace;
    // The file begins with a CgBI chunk: raw deflate data and premultiplied BGRA pixels.
    bool cgbi;
};

bool hasPngSignature(const QByteArray& bytes);

// Whether every chunk's declared length stays inside the data. libpng allocates a chunk's
// declared length before reading it, so a few hostile bytes could otherwise claim gigabytes.
bool pngChunksFitInData(const QByteArray& bytes);

// The header of PNG data, read without touching the pixel data.
std::optional<PngHeader> readPngHeader(const QByteArray& bytes);

} // namespace bw::image
