// Screenshot files come from anywhere: header probes, orientation reading and bounded thumbnails
// must stay in bounds for any bytes. The service's answers must decode or fail cleanly.
#include "platform/image/ExifOrientation.h"
#include "platform/image/ImageProbe.h"
#include "platform/image/Thumbnail.h"
#include "platform/json/JsonReader.h"
#include "services/screenshots/ScreenshotAnalysisJson.h"
#include "tests/fuzz/Fuzz.h"

#include <QByteArray>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    (void)bw::image::probeImage(bytes);
    const int orientation = bw::image::exifOrientation(bytes);
    bw::fuzz::require(orientation >= 1 && orientation <= 8);
    // A small pixel bound keeps each run fast; the bound itself is what is under test.
    if (const auto thumbnail = bw::image::makeThumbnail(bytes, 64, 1 << 20)) {
        bw::fuzz::require(thumbnail->width() <= 64 && thumbnail->height() <= 64);
    }
    try {
        (void)bw::decodeScreenshotAnalysisResponse(
            bw::json::JsonReader(bw::json::parseDocument(bytes)));
    } catch (const bw::json::DecodeError&) {
    }
    return 0;
}
