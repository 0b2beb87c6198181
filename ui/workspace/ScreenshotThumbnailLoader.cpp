#include "ui/workspace/ScreenshotThumbnailLoader.h"

#include "platform/image/Thumbnail.h"
#include "services/screenshots/ScreenshotFile.h"

namespace bw::workspace {

namespace {

QImage readThumbnail(const QString& path, int maxSide, const std::stop_token& stop) {
    QByteArray bytes;
    try {
        bytes = readScreenshotFile(path);
    } catch (const ScreenshotFileError&) {
        return {};
    }
    if (stop.stop_requested()) {
        return {};
    }
    return image::makeThumbnail(bytes, maxSide).value_or(QImage());
}

} // namespace

ScreenshotThumbnailLoader::ScreenshotThumbnailLoader(QObject* parent) : QObject(parent) {}

void ScreenshotThumbnailLoader::load(const QString& path, int maxSide) {
    const quint64 generation = ++generation_;
    current_.request_stop();
    if (path.isEmpty()) {
        deliver(generation, {});
        return;
    }
    current_ = workers_.start([this, path, maxSide, generation](std::stop_token stop) {
        const QImage image = readThumbnail(path, maxSide, stop);
        if (!stop.stop_requested()) {
            postTo(this, [this, generation, image] { deliver(generation, image); });
        }
    });
}

void ScreenshotThumbnailLoader::deliver(quint64 generation, const QImage& image) {
    if (generation != generation_) {
        return; // superseded by a newer load
    }
    delivered_ = generation;
    emit loaded(image);
}

} // namespace bw::workspace
