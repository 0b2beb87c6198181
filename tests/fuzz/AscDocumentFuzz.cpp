// Any body App Store Connect (or something pretending to be it) sends either decodes to a
// document or fails with the JSON decoding error; nothing else escapes, and decoding is
// deterministic.
#include "platform/json/JsonReader.h"
#include "services/appstoreconnect/ASCDocument.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray body(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        const bw::ASCDocument first = bw::ASCDocument::decode(body);
        if (!(bw::ASCDocument::decode(body) == first)) {
            std::abort();
        }
    } catch (const bw::json::DecodeError&) {
    }
    return 0;
}
