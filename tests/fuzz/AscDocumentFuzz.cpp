// Any body App Store Connect (or something pretending to be it) sends either decodes to a
// document or fails with the JSON decoding error; nothing else escapes, and decoding is
// deterministic.
#include "platform/json/JsonReader.h"
#include "services/appstoreconnect/ASCDocument.h"
#include "tests/fuzz/Fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray body(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        const bw::ASCDocument first = bw::ASCDocument::decode(body);
        bw::fuzz::require(bw::ASCDocument::decode(body) == first);
    } catch (const bw::json::DecodeError&) {
    }
    return 0;
}
