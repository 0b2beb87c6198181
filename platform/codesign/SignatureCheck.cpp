#include "platform/codesign/SignatureCheck.h"

#include "platform/cms/SignedData.h"

#include <algorithm>

namespace bw::codesign {

namespace {

std::span<const std::uint8_t> u8(macho::Bytes bytes) {
    return {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
}

std::string_view text(macho::Bytes bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

bool isZero(std::span<const std::uint8_t> bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; });
}

std::optional<Bytes> embeddedInfoPlist(const macho::MachOImage& image) {
    for (const auto& segment : image.segments) {
        for (const auto& section : segment.sections) {
            if (section.segmentName == "__TEXT" && section.name == "__info_plist" &&
                macho::fits(image.bytes.size(), section.offset, section.size)) {
                auto bytes = u8(image.bytes.subspan(section.offset, section.size));
                return Bytes(bytes.begin(), bytes.end());
            }
        }
    }
    return std::nullopt;
}

// The special slots, numbered as in the CodeDirectory.
enum Slot : std::uint32_t {
    infoSlot = 1,
    requirementsSlot = 2,
    resourceDirSlot = 3,
    applicationSlot = 4,
    entitlementsSlot = 5,
    repSpecificSlot = 6,
    entitlementsDerSlot = 7,
};

class SliceChecker {
public:
    SliceChecker(const macho::Slice& slice, const std::string& path, const std::string& label,
                 const std::optional<BundleItems>& bundle)
        : slice_(slice), path_(path), label_(label), bundle_(bundle) {}

    SliceCheck run() {
        const macho::MachOImage& image = slice_.image;
        if (!image.codeSignature) {
            fail("code object is not signed at all");
            return std::move(check_);
        }
        auto signature = macho::parseCodeSignature(image.codeSignatureBytes());
        if (!signature) {
            fail("invalid or unsupported format for signature (" + signature.error().description() +
                 ")");
            return std::move(check_);
        }
        signature_ = &signature.value();
        if (!signature_->codeDirectory) {
            fail("invalid or unsupported format for signature (no code directory)");
            return std::move(check_);
        }
        collectBlobs();
        checkDirectory(*signature_->codeDirectory);
        for (const auto& alternate : signature_->alternateCodeDirectories) {
            checkDirectory(alternate);
        }
        checkCms(*signature_->codeDirectory);
        return std::move(check_);
    }

private:
    void fail(const std::string& message) { check_.problems.push_back({path_, label_ + message}); }
    void note(const std::string& message) {
        check_.notes.push_back(path_ + ": " + label_ + message);
    }

    void collectBlobs() {
        for (const auto& entry : signature_->index) {
            if (entry.type == macho::slotType::requirements) {
                requirementsBlob_ = entry.bytes;
            } else if (entry.type == macho::slotType::entitlements) {
                entitlementsBlob_ = entry.bytes;
            } else if (entry.type == macho::slotType::entitlementsDer) {
                entitlementsDerBlob_ = entry.bytes;
            }
        }
    }

    void checkDirectory(const macho::CodeDirectory& directory) {
        auto type = hashTypeFromRaw(directory.hashType);
        std::string name = type ? hashTypeName(*type) : "unknown";
        if (!type) {
            fail("code directory uses unsupported hash type " + std::to_string(directory.hashType));
            return;
        }
        if (directory.hashSize != digestSize(*type)) {
            fail(name + " code directory has hash size " + std::to_string(directory.hashSize) +
                 " instead of " + std::to_string(digestSize(*type)));
            return;
        }
        if (directory.pageSize != 0 && (directory.pageSize < 9 || directory.pageSize > 20)) {
            fail(name + " code directory has an invalid page size (2^" +
                 std::to_string(directory.pageSize) + ")");
            return;
        }
        check_.cdhashes.push_back(cdhash(directory));
        if (checkLimits(directory, name)) {
            checkPages(directory, *type, name);
        }
        checkSpecialSlots(directory, *type, name);
    }

    bool checkLimits(const macho::CodeDirectory& directory, const std::string& name) {
        std::uint64_t limit = directory.effectiveCodeLimit();
        std::uint64_t signatureOffset = slice_.image.codeSignature->dataOffset;
        if (limit != signatureOffset) {
            fail(name + " code directory covers " + std::to_string(limit) +
                 " bytes but the signature starts at " + std::to_string(signatureOffset));
            return false;
        }
        std::uint64_t pageSize = directory.pageSize == 0 ? limit : 1ull << directory.pageSize;
        std::uint64_t pages = pageSize == 0 ? 0 : (limit + pageSize - 1) / pageSize;
        if (pages != directory.nCodeSlots) {
            fail(name + " code directory has " + std::to_string(directory.nCodeSlots) +
                 " page hashes for " + std::to_string(pages) + " pages");
            return false;
        }
        return true;
    }

    void checkPages(const macho::CodeDirectory& directory, HashType type, const std::string& name) {
        std::uint64_t limit = directory.effectiveCodeLimit();
        std::uint64_t pageSize = directory.pageSize == 0 ? limit : 1ull << directory.pageSize;
        auto code = u8(slice_.image.bytes);
        std::vector<std::uint32_t> modified;
        for (std::uint32_t i = 0; i < directory.nCodeSlots; ++i) {
            std::uint64_t start = i * pageSize;
            std::uint64_t length = std::min(pageSize, limit - start);
            Bytes actual = digest(type, code.subspan(start, length));
            auto expected = u8(directory.codeSlotHash(i));
            if (!std::equal(actual.begin(), actual.end(), expected.begin(), expected.end())) {
                modified.push_back(i);
            }
        }
        if (!modified.empty()) {
            std::string pages = std::to_string(modified.front());
            if (modified.size() > 1) {
                pages += " and " + std::to_string(modified.size() - 1) + " more";
            }
            fail("invalid signature (code or signature have been modified): " + name +
                 " hash of code page " + pages + " does not match");
        }
    }

    void checkSpecialSlots(const macho::CodeDirectory& directory, HashType type,
                           const std::string& name) {
        std::optional<Bytes> info = bundle_ ? bundle_->infoPlist : embeddedInfoPlist(slice_.image);
        checkSlot(directory, type, name, infoSlot, info, "Info.plist",
                  "invalid Info.plist (plist or signature have been modified)",
                  bundle_.has_value());
        checkSlot(directory, type, name, requirementsSlot, blob(requirementsBlob_), "requirements",
                  "invalid requirements (requirements or signature modified)", false);
        std::optional<Bytes> resources = bundle_ ? bundle_->codeResources : std::nullopt;
        checkSlot(directory, type, name, resourceDirSlot, resources, "resource directory",
                  "invalid resource directory (directory or signature have been modified)",
                  bundle_.has_value());
        checkSlot(directory, type, name, entitlementsSlot, blob(entitlementsBlob_), "entitlements",
                  "invalid entitlements (entitlements or signature modified)", false);
        checkSlot(directory, type, name, entitlementsDerSlot, blob(entitlementsDerBlob_),
                  "DER entitlements",
                  "invalid DER entitlements (entitlements or signature modified)", false);
        for (std::uint32_t slot : {applicationSlot, repSpecificSlot}) {
            if (slot <= directory.nSpecialSlots && !isZero(u8(directory.specialSlotHash(slot)))) {
                note("special slot " + std::to_string(slot) +
                     " is bound but was not evaluated (it does not apply to this code)");
            }
        }
    }

    static std::optional<Bytes> blob(std::optional<macho::Bytes> bytes) {
        if (!bytes) {
            return std::nullopt;
        }
        auto view = u8(*bytes);
        return Bytes(view.begin(), view.end());
    }

    // A bound slot must match its item; an item that exists must be bound (else it could be
    // swapped freely). `mustBind` also fails a missing binding when the item is absent.
    void checkSlot(const macho::CodeDirectory& directory, HashType type, const std::string& name,
                   std::uint32_t slot, const std::optional<Bytes>& item, const std::string& what,
                   const std::string& mismatch, bool mustBind) {
        bool bound =
            slot <= directory.nSpecialSlots && !isZero(u8(directory.specialSlotHash(slot)));
        if (!bound) {
            if (item) {
                fail(what + " is present but not bound to the " + name + " code directory");
            } else if (mustBind) {
                fail(what + " is missing and not bound to the " + name + " code directory");
            }
            return;
        }
        if (!item) {
            fail(what + " is bound to the signature but missing");
            return;
        }
        Bytes actual = digest(type, *item);
        auto expected = u8(directory.specialSlotHash(slot));
        if (!std::equal(actual.begin(), actual.end(), expected.begin(), expected.end())) {
            fail(mismatch);
        }
    }

    void checkCms(const macho::CodeDirectory& primary) {
        bool adhoc = (primary.flags & (adhocFlag | linkerSignedFlag)) != 0;
        if (!signature_->cms || signature_->cms->empty()) {
            if (!adhoc) {
                fail("signature carries no CMS signature but is not ad hoc");
            } else {
                note(std::string((primary.flags & linkerSignedFlag) != 0 ? "linker-signed"
                                                                         : "ad hoc") +
                     " signature; no CMS signature to evaluate");
            }
            return;
        }
        const cms::DetachedSignatureCheck cms =
            cms::verifyDetached(text(*signature_->cms), text(primary.bytes));
        if (!cms.valid) {
            fail("invalid CMS signature: " + cms.detail);
            return;
        }
        note("CMS signature verifies with its own certificate " + cms.signer +
             "; no trust chain was evaluated");
    }

    const macho::Slice& slice_;
    const std::string& path_;
    const std::string& label_;
    const std::optional<BundleItems>& bundle_;
    const macho::CodeSignature* signature_ = nullptr;
    std::optional<macho::Bytes> requirementsBlob_;
    std::optional<macho::Bytes> entitlementsBlob_;
    std::optional<macho::Bytes> entitlementsDerBlob_;
    SliceCheck check_;
};

} // namespace

Bytes cdhash(const macho::CodeDirectory& directory) {
    auto type = hashTypeFromRaw(directory.hashType).value_or(HashType::sha256);
    Bytes hash = digest(type, u8(directory.bytes));
    hash.resize(std::min<std::size_t>(hash.size(), 20));
    return hash;
}

SliceCheck checkSlice(const macho::Slice& slice, const std::string& path, const std::string& label,
                      const std::optional<BundleItems>& bundle) {
    return SliceChecker(slice, path, label, bundle).run();
}

} // namespace bw::codesign
