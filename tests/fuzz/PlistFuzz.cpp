// Info.plist and archive descriptions are untrusted property lists: parsing must not crash.
#include "platform/plist/PlistValue.h"
#include "tests/fuzz/Fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (const auto value = bw::plist::PlistValue::parse(bytes)) {
        bw::plist::PlistValue::parse(value->toBinary());
    }
    return 0;
}
