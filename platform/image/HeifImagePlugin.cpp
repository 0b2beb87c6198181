#include "platform/image/HeifImagePlugin.h"

#include "platform/image/HeifDecoding.h"
#include "platform/image/ImageDecoding.h"

#include <QImageIOPlugin>
#include <QImageReader>
#include <QVariant>
#include <algorithm>

namespace bw::image {

namespace {

// The whole content of the device, leaving its position where it was.
QByteArray peekAll(QIODevice* device) {
    const qint64 position = device->pos();
    QByteArray bytes = device->readAll();
    device->seek(position);
    return bytes;
}

// The process-wide allocation limit of Qt's image reading applies to HEIC as well.
qint64 allowedPixels() {
    const qint64 megabytes = QImageReader::allocationLimit();
    const qint64 byLimit = megabytes > 0 ? megabytes * 1024 * 1024 / 4 : maxDecodedPixels;
    return std::min(byLimit, maxDecodedPixels);
}

} // namespace

bool HeifImageHandler::canRead(QIODevice* device) {
    return device != nullptr && isHeif(device->peek(64));
}

bool HeifImageHandler::canRead() const {
    if (!canRead(device())) {
        return false;
    }
    setFormat("heic");
    return true;
}

bool HeifImageHandler::read(QImage* image) {
    const QByteArray bytes = device()->readAll();
    auto decoded = decodeHeif(bytes, allowedPixels());
    if (!decoded) {
        return false;
    }
    *image = std::move(*decoded);
    return true;
}

bool HeifImageHandler::supportsOption(ImageOption option) const {
    return option == Size;
}

QVariant HeifImageHandler::option(ImageOption option) const {
    if (option != Size) {
        return {};
    }
    const auto probe = probeHeif(peekAll(device()));
    return probe ? QVariant(probe->size) : QVariant();
}

} // namespace bw::image

// Registered as a static plugin, so that every QImageReader in the process sees HEIC.
class HeifImagePlugin : public QImageIOPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "HeifImagePlugin.json")

public:
    Capabilities capabilities(QIODevice* device, const QByteArray& format) const override;
    QImageIOHandler* create(QIODevice* device, const QByteArray& format) const override;
};

HeifImagePlugin::Capabilities HeifImagePlugin::capabilities(QIODevice* device,
                                                            const QByteArray& format) const {
    if (format == "heic" || format == "heif") {
        return CanRead;
    }
    if (!format.isEmpty() || device == nullptr || !device->isOpen()) {
        return {};
    }
    return bw::image::HeifImageHandler::canRead(device) ? Capabilities(CanRead) : Capabilities();
}

QImageIOHandler* HeifImagePlugin::create(QIODevice* device, const QByteArray& format) const {
    auto* handler = new bw::image::HeifImageHandler;
    handler->setDevice(device);
    handler->setFormat(format.isEmpty() ? QByteArray("heic") : format);
    return handler;
}

#include "HeifImagePlugin.moc"
