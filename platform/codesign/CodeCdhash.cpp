#include "platform/codesign/CodeCdhash.h"

#include "platform/codesign/BundleLayout.h"
#include "platform/codesign/SignatureCheck.h"
#include "platform/macho/MappedFile.h"

namespace bw::codesign {

Bytes primaryCdhash(const std::filesystem::path& code) {
    std::filesystem::path file = code;
    std::error_code ec;
    if (std::filesystem::is_directory(code, ec)) {
        BundleLayout layout = bundleLayout(code);
        if (!layout.executable) {
            return {};
        }
        file = *layout.executable;
    }
    auto mapped = macho::MappedFile::open(file.string());
    if (!mapped) {
        return {};
    }
    auto parsed = macho::parseMachOFile(mapped->bytes());
    if (!parsed || parsed->slices.empty() || !parsed->slices.front().image.codeSignature) {
        return {};
    }
    auto signature = macho::parseCodeSignature(parsed->slices.front().image.codeSignatureBytes());
    if (!signature || !signature->codeDirectory) {
        return {};
    }
    return cdhash(*signature->codeDirectory);
}

} // namespace bw::codesign
