#include "platform/codesign/SignedEntitlements.h"

#include "platform/codesign/BundleLayout.h"
#include "platform/codesign/DerEntitlements.h"
#include "platform/macho/CodeSignature.h"
#include "platform/macho/MachOFile.h"
#include "platform/macho/MappedFile.h"

#include <algorithm>

namespace bw::codesign {

namespace stdfs = std::filesystem;

namespace {

std::string hostArchitecture() {
#if defined(__aarch64__)
    return "arm64";
#elif defined(__x86_64__)
    return "x86_64";
#else
    return "";
#endif
}

const macho::Slice& chosenSlice(const macho::MachOFile& file) {
    auto host = std::find_if(file.slices.begin(), file.slices.end(), [](const auto& slice) {
        return slice.architecture() == hostArchitecture();
    });
    return host != file.slices.end() ? *host : file.slices.front();
}

} // namespace

SignedEntitlements readSignedEntitlements(const stdfs::path& path) {
    SignedEntitlements result;
    result.executable = path;
    std::error_code ec;
    if (stdfs::is_directory(path, ec)) {
        BundleLayout layout = bundleLayout(path);
        if (!layout.executable) {
            result.error = "bundle format unrecognized, invalid, or unsuitable";
            return result;
        }
        result.executable = *layout.executable;
    }
    auto mapped = macho::MappedFile::open(result.executable.string());
    if (!mapped) {
        result.error = mapped.error().description();
        return result;
    }
    auto file = macho::parseMachOFile(mapped->bytes());
    if (!file) {
        result.error = file.error().description();
        return result;
    }
    if (file->slices.empty()) {
        result.error = "code object is not signed at all";
        return result;
    }
    const macho::Slice& slice = chosenSlice(*file);
    if (!slice.image.codeSignature) {
        result.error = "code object is not signed at all";
        return result;
    }
    auto signature = macho::parseCodeSignature(slice.image.codeSignatureBytes());
    if (!signature) {
        result.error =
            "invalid or unsupported format for signature (" + signature.error().description() + ")";
        return result;
    }
    if (signature->entitlementsXml) {
        const auto* data =
            reinterpret_cast<const std::uint8_t*>(signature->entitlementsXml->data());
        result.xml = Bytes(data, data + signature->entitlementsXml->size());
    } else if (signature->entitlementsDer) {
        // Signed with the DER form alone: shown as XML all the same.
        const auto* data =
            reinterpret_cast<const std::uint8_t*>(signature->entitlementsDer->data());
        result.xml = entitlementsXmlFromDer({data, signature->entitlementsDer->size()});
    }
    return result;
}

} // namespace bw::codesign
