#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QSize>
#include <vector>

namespace bw::test {

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
