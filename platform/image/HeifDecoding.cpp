#include "platform/image/HeifDecoding.h"

#include <QtPlugin>
#include <cstring>
#include <dlfcn.h>
#include <libheif/heif.h>
#include <memory>

// The plugin class lives in HeifImagePlugin.cpp; importing it here registers it with Qt in
// every program that uses these functions.
Q_IMPORT_PLUGIN(HeifImagePlugin)

namespace bw::image {

namespace {

// libheif is opened on first use instead of linked: loading it sets up every decoder it carries,
// which made each start of the program pay for HEIC support before its first window.
struct Libheif {
    decltype(&heif_check_filetype) check_filetype;
    decltype(&heif_context_alloc) context_alloc;
    decltype(&heif_context_free) context_free;
    decltype(&heif_context_read_from_memory_without_copy) context_read_from_memory_without_copy;
    decltype(&heif_context_get_primary_image_handle) context_get_primary_image_handle;
    decltype(&heif_image_handle_get_width) image_handle_get_width;
    decltype(&heif_image_handle_get_height) image_handle_get_height;
    decltype(&heif_image_handle_has_alpha_channel) image_handle_has_alpha_channel;
    decltype(&heif_image_handle_release) image_handle_release;
    decltype(&heif_decode_image) decode_image;
    decltype(&heif_image_get_width) image_get_width;
    decltype(&heif_image_get_height) image_get_height;
    decltype(&heif_image_get_plane_readonly) image_get_plane_readonly;
    decltype(&heif_image_release) image_release;
};

// None when the library or one of its functions is missing: HEIF files then read as unknown.
const Libheif* libheif() {
    static const std::optional<Libheif> loaded = []() -> std::optional<Libheif> {
        void* library = dlopen("libheif.so.1", RTLD_NOW | RTLD_LOCAL);
        if (library == nullptr) {
            return std::nullopt;
        }
        Libheif functions{};
        bool complete = true;
        const auto load = [&](auto& function, const char* name) {
            function =
                reinterpret_cast<std::remove_reference_t<decltype(function)>>(dlsym(library, name));
            complete = complete && function != nullptr;
        };
        load(functions.check_filetype, "heif_check_filetype");
        load(functions.context_alloc, "heif_context_alloc");
        load(functions.context_free, "heif_context_free");
        load(functions.context_read_from_memory_without_copy,
             "heif_context_read_from_memory_without_copy");
        load(functions.context_get_primary_image_handle, "heif_context_get_primary_image_handle");
        load(functions.image_handle_get_width, "heif_image_handle_get_width");
        load(functions.image_handle_get_height, "heif_image_handle_get_height");
        load(functions.image_handle_has_alpha_channel, "heif_image_handle_has_alpha_channel");
        load(functions.image_handle_release, "heif_image_handle_release");
        load(functions.decode_image, "heif_decode_image");
        load(functions.image_get_width, "heif_image_get_width");
        load(functions.image_get_height, "heif_image_get_height");
        load(functions.image_get_plane_readonly, "heif_image_get_plane_readonly");
        load(functions.image_release, "heif_image_release");
        return complete ? std::optional(functions) : std::nullopt;
    }();
    return loaded ? &*loaded : nullptr;
}

// Only ever made after libheif() gave the functions.
struct ContextFree {
    void operator()(heif_context* context) const { libheif()->context_free(context); }
};
struct HandleRelease {
    void operator()(const heif_image_handle* handle) const {
        libheif()->image_handle_release(handle);
    }
};
struct ImageRelease {
    void operator()(const heif_image* image) const { libheif()->image_release(image); }
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
    const Libheif& heif = *libheif();
    Context context(heif.context_alloc());
    if (!context) {
        return std::nullopt;
    }
    const heif_error read = heif.context_read_from_memory_without_copy(
        context.get(), bytes.constData(), size_t(bytes.size()), nullptr);
    if (read.code != heif_error_Ok) {
        return std::nullopt;
    }
    heif_image_handle* handle = nullptr;
    if (heif.context_get_primary_image_handle(context.get(), &handle).code != heif_error_Ok ||
        handle == nullptr) {
        return std::nullopt;
    }
    return Primary{std::move(context), Handle(handle)};
}

} // namespace

bool isHeif(const QByteArray& bytes) {
    const Libheif* heif = libheif();
    if (bytes.size() < 12 || heif == nullptr) {
        return false;
    }
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.constData());
    const int length = int(std::min<qsizetype>(bytes.size(), 64));
    return heif->check_filetype(data, length) == heif_filetype_yes_supported;
}

std::optional<ImageProbe> probeHeif(const QByteArray& bytes) {
    const auto primary = openPrimary(bytes);
    if (!primary) {
        return std::nullopt;
    }
    const Libheif& heif = *libheif();
    const QSize size(heif.image_handle_get_width(primary->handle.get()),
                     heif.image_handle_get_height(primary->handle.get()));
    if (size.width() <= 0 || size.height() <= 0) {
        return std::nullopt;
    }
    return ImageProbe{size, heif.image_handle_has_alpha_channel(primary->handle.get()) != 0};
}

std::optional<QImage> decodeHeif(const QByteArray& bytes, qint64 maxPixels) {
    const auto primary = openPrimary(bytes);
    if (!primary) {
        return std::nullopt;
    }
    const Libheif& heif = *libheif();
    const heif_image_handle* handle = primary->handle.get();
    const qint64 width = heif.image_handle_get_width(handle);
    const qint64 height = heif.image_handle_get_height(handle);
    if (width <= 0 || height <= 0 || width * height > maxPixels) {
        return std::nullopt;
    }
    const bool alpha = heif.image_handle_has_alpha_channel(handle) != 0;
    heif_image* decoded = nullptr;
    const heif_error error = heif.decode_image(
        handle, &decoded, heif_colorspace_RGB,
        alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, nullptr);
    const Image image(decoded);
    if (error.code != heif_error_Ok || !image) {
        return std::nullopt;
    }
    const int planeWidth = heif.image_get_width(image.get(), heif_channel_interleaved);
    const int planeHeight = heif.image_get_height(image.get(), heif_channel_interleaved);
    int stride = 0;
    const uint8_t* plane =
        heif.image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
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
