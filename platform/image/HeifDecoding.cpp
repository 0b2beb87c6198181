#include "platform/image/HeifDecoding.h"

#include <QtPlugin>
#include <cstring>
#include <libheif/heif.h>
#include <memory>

// The plugin class lives in HeifImagePlugin.cpp; importing it here registers it with Qt in
// every program that uses these functions.
Q_IMPORT_PLUGIN(HeifImagePlugin)

namespace bw::image {

namespace {

struct ContextFree {
    void operator()(heif_context* context) const { heif_context_free(context); }
};
struct HandleRelease {
    void operator()(const heif_image_handle* handle) const { heif_image_handle_release(handle); }
};
struct ImageRelease {
    void operator()(const heif_image* image) const { heif_image_release(image); }
};

using Context = std::unique_ptr<heif_context, ContextFree>;
using Handle = std::unique_ptr<const heif_image_handle, HandleRelease>;
using Image = std::unique_ptr<const heif_image, ImageRelease>;

// The primary image of the data; the context must outlive the handle's use of `bytes`, which
// libheif reads in place.
struct Primary {
    Context context;
    Handle handle;
};

std::optional<Primary> openPrimary(const QByteArray& bytes) {
    if (!isHeif(bytes)) {
        return std::nullopt;
    }
    Context context(heif_context_alloc());
    if (!context) {
        return std::nullopt;
    }
    const heif_error read = heif_context_read_from_memory_without_copy(
        context.get(), bytes.constData(), size_t(bytes.size()), nullptr);
    if (read.code != heif_error_Ok) {
        return std::nullopt;
    }
    heif_image_handle* handle = nullptr;
    if (heif_context_get_primary_image_handle(context.get(), &handle).code != heif_error_Ok ||
        handle == nullptr) {
        return std::nullopt;
    }
    return Primary{std::move(context), Handle(handle)};
}

} // namespace

bool isHeif(const QByteArray& bytes) {
    if (bytes.size() < 12) {
        return false;
    }
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.constData());
    const int length = int(std::min<qsizetype>(bytes.size(), 64));
    return heif_check_filetype(data, length) == heif_filetype_yes_supported;
}

std::optional<ImageProbe> probeHeif(const QByteArray& bytes) {
    const auto primary = openPrimary(bytes);
    if (!primary) {
        return std::nullopt;
    }
    const QSize size(heif_image_handle_get_width(primary->handle.get()),
                     heif_image_handle_get_height(primary->handle.get()));
    if (size.width() <= 0 || size.height() <= 0) {
        return std::nullopt;
    }
    return ImageProbe{size, heif_image_handle_has_alpha_channel(primary->handle.get()) != 0};
}

std::optional<QImage> decodeHeif(const QByteArray& bytes, qint64 maxPixels) {
    const auto primary = openPrimary(bytes);
    if (!primary) {
        return std::nullopt;
    }
    const heif_image_handle* handle = primary->handle.get();
    const qint64 width = heif_image_handle_get_width(handle);
    const qint64 height = heif_image_handle_get_height(handle);
    if (width <= 0 || height <= 0 || width * height > maxPixels) {
        return std::nullopt;
    }
    const bool alpha = heif_image_handle_has_alpha_channel(handle) != 0;
    heif_image* decoded = nullptr;
    const heif_error error = heif_decode_image(
        handle, &decoded, heif_colorspace_RGB,
        alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, nullptr);
    const Image image(decoded);
    if (error.code != heif_error_Ok || !image) {
        return std::nullopt;
    }
    const int planeWidth = heif_image_get_width(image.get(), heif_channel_interleaved);
    const int planeHeight = heif_image_get_height(image.get(), heif_channel_interleaved);
    int stride = 0;
    const uint8_t* plane =
        heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
    // The decoder must deliver exactly what the header declared.
    if (plane == nullptr || planeWidth != width || planeHeight != height) {
        return std::nullopt;
    }
    QImage result(int(width), int(height), alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    if (result.isNull()) {
        return std::nullopt;
    }
    const size_t rowBytes = size_t(width) * (alpha ? 4 : 3);
    for (int y = 0; y < int(height); ++y) {
        std::memcpy(result.scanLine(y), plane + qsizetype(y) * stride, rowBytes);
    }
    return result;
}

} // namespace bw::image
