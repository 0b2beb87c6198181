// Feeds arbitrary bytes to the Mach-O reader and everything built on it: the container, every
// slice's load commands and symbols, the code signature, and the tools' listings.
#include "platform/macho/CodeSignature.h"
#include "platform/macho/MachOFile.h"
#include "platform/macho/SymbolTable.h"
#include "platform/tools/listing/Listings.h"
#include "tests/fuzz/Fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace bw::macho;
    const Bytes bytes(reinterpret_cast<const std::byte*>(data), size);
    (void)parseCodeSignature(bytes);
    const Result<MachOFile> file = parseMachOFile(bytes);
    if (!file) {
        return 0;
    }
    for (const Slice& slice : file->slices) {
        (void)undefinedSymbolNames(slice.image);
        (void)parseCodeSignature(slice.image.codeSignatureBytes());
    }
    (void)bw::tools::architectureListing(*file);
    (void)bw::tools::libraryListing("fuzz", *file);
    (void)bw::tools::undefinedSymbolListing("fuzz", *file);
    return 0;
}
