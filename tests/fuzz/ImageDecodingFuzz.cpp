// Icon files come from bundles we did not build: decoding must neither crash nor allocate
// without bound, whatever the bytes.
#include "platform/image/ImageDecoding.h"
#include "tests/fuzz/Fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    bw::image::imageSizes(bytes);
    // A small limit keeps each run fast while exercising the same paths.
    bw::image::decodeLargestImage(bytes, 1 << 20);
    return 0;
}
