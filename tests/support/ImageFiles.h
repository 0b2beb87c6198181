#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QSize>
#include <optional>
#include <vector>

// Real image files made in memory for the tests of image reading and screenshot checks.
namespace bw::test {

// A picture with distinct quadrants, so that any turn or mirror shows; opaque unless
// `translucent`, which makes its right half half-transparent.
QImage quadrantImage(QSize size, bool translucent = false);

// PNG data as Qt writes it: colour type 2 for opaque formats, 6 for ARGB32, a palette (with a
// tRNS chunk when a colour has alpha) for Indexed8.
QByteArray pngData(const QImage& image);

QByteArray jpegData(const QImage& image, int quality = 90);

// A PNG chunk of `type` holding `data` under its checksum; its length field says
// `declaredLength` when given, as in a chunk that lies about its size.
QByteArray pngChunk(const QByteArray& type, const QByteArray& data,
                    std::optional<quint32> declaredLength = std::nullopt);

// JPEG data with an EXIF block that states `orientation`, in the given TIFF byte order.
QByteArray jpegWithOrientation(const QImage& image, int orientation, bool bigEndian = true);

// PNG data with an eXIf chunk that states `orientation`.
QByteArray pngWithOrientation(const QImage& image, int orientation);

// HEIC data encoded by libheif, with an alpha plane when `alpha` is true.
QByteArray heicData(const QImage& image, bool alpha);

// An ordinary PNG of one colour.
QByteArray solidPng(QSize size, QColor color);

// A test picture with opaque, translucent and transparent pixels and detail in every row.
QImage patternImage(QSize size);

// Encodes the image in Apple's CgBI PNG form: CgBI chunk first, premultiplied BGRA (or BGR when
// `alpha` is false) pixels, every PNG row filter in turn, raw deflate data split over two IDAT
// chunks.
QByteArray encodeCgbi(const QImage& image, bool alpha = true);

// A PNG that declares `size` in its header but carries almost no pixel data.
QByteArray pngDeclaring(QSize size);

// A valid one-bit greyscale PNG of `size`, compressed so that huge sizes stay small.
QByteArray blankPng(QSize size);

struct IcnsEntry {
    QByteArray type;
    QByteArray data;
};
QByteArray icnsFile(const std::vector<IcnsEntry>& entries);

} // namespace bw::test
