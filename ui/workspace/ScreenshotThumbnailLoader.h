#pragma once

#include "app/WorkerTasks.h"

#include <QImage>
#include <QObject>
#include <QString>

namespace bw::workspace {

// Reads a slot's screenshot off the main thread. Only regular files are read (a pipe or folder
// named like an image must not block anything), and images beyond the pixel limit of the
// screenshot checks are never decoded. Each load supersedes the previous one, which is stopped
// and whose result is dropped.
class ScreenshotThumbnailLoader : public QObject {
    Q_OBJECT

public:
    explicit ScreenshotThumbnailLoader(QObject* parent = nullptr);

    // Starts reading `path` scaled to at most `maxSide` pixels on its longer side; an empty path
    // clears at once.
    void load(const QString& path, int maxSide);

    // The newest load has delivered its result.
    bool isIdle() const { return delivered_ == generation_; }

signals:
    // The image of the newest load; null when the file cannot be read as an image.
    void loaded(const QImage& image);

private:
    void deliver(quint64 generation, const QImage& image);

    quint64 generation_ = 0;
    quint64 delivered_ = 0;
    std::stop_source current_;
    // Last, so that its threads are stopped and joined before the loader goes.
    WorkerTasks workers_;
};

} // namespace bw::workspace
