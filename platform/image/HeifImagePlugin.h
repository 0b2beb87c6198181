#pragma once

#include <QImageIOHandler>

namespace bw::image {

// Reads the primary image of HEIF files for QImageReader, through libheif.
class HeifImageHandler : public QImageIOHandler {
public:
    bool canRead() const override;
    bool read(QImage* image) override;
    bool supportsOption(ImageOption option) const override;
    QVariant option(ImageOption option) const override;

    // The device holds a HEIF file; the device's position is left unchanged.
    static bool canRead(QIODevice* device);
};

} // namespace bw::image
