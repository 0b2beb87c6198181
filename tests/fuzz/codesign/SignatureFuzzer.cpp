// Feeds arbitrary bytes to the Mach-O reader and the signature checks of every slice it finds,
// and to the DER entitlements reader: no input may read out of bounds, hang or crash.
#include "platform/codesign/DerEntitlements.h"
#include "platform/codesign/SignatureCheck.h"
#include "platform/macho/MachOFile.h"
#include "tests/fuzz/Fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    (void)bw::codesign::entitlementsXmlFromDer({data, size});
    bw::macho::Bytes bytes(reinterpret_cast<const std::byte*>(data), size);
    auto file = bw::macho::parseMachOFile(bytes);
    if (!file) {
        return 0;
    }
    bw::codesign::BundleItems bundle{bw::codesign::Bytes{1, 2, 3}, std::nullopt};
    for (const auto& slice : file->slices) {
        (void)bw::codesign::checkSlice(slice, "fuzz", "", bundle);
        (void)bw::codesign::checkSlice(slice, "fuzz", "", std::nullopt);
    }
    return 0;
}
