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
    SliceChecker(const macho::Slice& slice, const std::string& path,
                 const std::string& architecture, const std::optional<BundleItems>& bundle)
        : slice_(slice), path_(path), architecture_(architecture), bundle_(bundle) {}

    SliceCheck run() {
        const macho::MachOImage& image = slice_.image;
        if (!image.codeSignature) {
            fail(unsignedReason);
            return std::move(check_);
        }
        auto signature = macho::parseCodeSignature(image.codeSignatureBytes());
        if (!signature || !signature->codeDirectory) {
            fail(formatReason);
            return std::move(check_);
        }
        signature_ = &signature.value();
        collectBlobs();
        checkDirectory(*signature_->codeDirectory);
        for (const auto& alternate : signature_->alternateCodeDirectories) {
            checkDirectory(alternate);
        }
        checkCms(*signature_->codeDirectory);
        return std::move(check_);
    }

private:
    void fail(const std::string& message) {
        check_.problems.push_back({path_, message, ResourceChange::none, architecture_});
    }

    void collectBlobs() {
        for (const auto& entry : signature_->index) {
            if (entry.type == macho::slot_type::requirements) {
                requirementsBlob_ = entry.bytes;
            } else if (entry.type == macho::slot_type::entitlements) {
                entitlementsBlob_ = entry.bytes;
            } else if (entry.type == macho::slot_type::entitlementsDer) {
                entitlementsDerBlob_ = entry.bytes;
            }
        }
    }

    void checkDirectory(const macho::CodeDirectory& directory) {
        auto type = hashTypeFromRaw(directory.hashType);
        bool validPageSize =
            directory.pageSize == 0 || (directory.pageSize >= 9 && directory.pageSize <= 20);
        if (!type || directory.hashSize != digestSize(*type) || !validPageSize) {
            fail(formatReason);
            return;
        }
        check_.cdhashes.push_back(cdhash(directory));
        if (checkLimits(directory)) {
            checkPages(directory, *type);
        }
        checkSpecialSlots(directory, *type);
    }

    // The code directory must cover the code up to the signature, one hash per page.
    bool checkLimits(const macho::CodeDirectory& directory) {
        std::uint64_t limit = directory.effectiveCodeLimit();
        std::uint64_t pageSize = directory.pageSize == 0 ? limit : 1ull << directory.pageSize;
        std::uint64_t pages = pageSize == 0 ? 0 : (limit + pageSize - 1) / pageSize;
        if (limit != slice_.image.codeSignature->dataOffset || pages != directory.nCodeSlots) {
            fail(formatReason);
            return false;
        }
        return true;
    }

    void checkPages(const macho::CodeDirectory& directory, HashType type) {
        std::uint64_t limit = directory.effectiveCodeLimit();
        std::uint64_t pageSize = directory.pageSize == 0 ? limit : 1ull << directory.pageSize;
        auto code = u8(slice_.image.bytes);
        for (std::uint32_t i = 0; i < directory.nCodeSlots; ++i) {
            std::uint64_t start = i * pageSize;
            std::uint64_t length = std::min(pageSize, limit - start);
            Bytes actual = digest(type, code.subspan(start, length));
            auto expected = u8(directory.codeSlotHash(i));
            if (!std::equal(actual.begin(), actual.end(), expected.begin(), expected.end())) {
                fail(modifiedReason);
                return;
            }
        }
    }

    void checkSpecialSlots(const macho::CodeDirectory& directory, HashType type) {
        const std::string infoReason = "invalid Info.plist (plist or signature have been modified)";
        std::optional<Bytes> info = bundle_ ? bundle_->infoPlist : embeddedInfoPlist(slice_.image);
        checkSlot(directory, type, infoSlot, info, {infoReason, infoReason});
        checkSlot(directory, type, requirementsSlot, blob(requirementsBlob_),
                  {modifiedReason, modifiedReason});
        checkSlot(directory, type, entitlementsSlot, blob(entitlementsBlob_),
                  {modifiedReason, modifiedReason});
        checkSlot(directory, type, entitlementsDerSlot, blob(entitlementsDerBlob_),
                  {modifiedReason, modifiedReason});
        checkResourceSlot(directory, type);
        for (std::uint32_t slot : {applicationSlot, repSpecificSlot}) {
            if (slot <= directory.nSpecialSlots && !isZero(u8(directory.specialSlotHash(slot)))) {
                check_.notes.push_back("special slot " + std::to_string(slot) +
                                       " is bound but was not evaluated");
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

    struct SlotReasons {
        std::string changed; // the item differs from its binding, or is not bound at all
        std::string missing; // the item is bound but absent
    };

    static bool matches(const macho::CodeDirectory& directory, HashType type, std::uint32_t slot,
                        const Bytes& item) {
        Bytes actual = digest(type, item);
        auto expected = u8(directory.specialSlotHash(slot));
        return std::equal(actual.begin(), actual.end(), expected.begin(), expected.end());
    }

    // Like Apple's verifier, only the slots the directory has are checked (a linker signature
    // has none): a bound slot must match its item, and an item in an unbound slot cannot.
    void checkSlot(const macho::CodeDirectory& directory, HashType type, std::uint32_t slot,
                   const std::optional<Bytes>& item, const SlotReasons& reasons) {
        if (slot > directory.nSpecialSlots) {
            return;
        }
        if (!item) {
            if (!isZero(u8(directory.specialSlotHash(slot)))) {
                fail(reasons.missing);
            }
            return;
        }
        if (!matches(directory, type, slot, *item)) {
            fail(reasons.changed);
        }
    }

    // The seal of a bundle must be bound, whatever the slot count, or it could be swapped. A
    // bundle without one is reported with its resources, once for all architectures.
    void checkResourceSlot(const macho::CodeDirectory& directory, HashType type) {
        if (!bundle_ || !bundle_->codeResources) {
            return;
        }
        if (resourceDirSlot > directory.nSpecialSlots ||
            !matches(directory, type, resourceDirSlot, *bundle_->codeResources)) {
            check_.problems.push_back(
                {path_, "invalid resource directory (directory or signature have been modified)"});
        }
    }

    void checkCms(const macho::CodeDirectory& primary) {
        bool adhoc = (primary.flags & (adhocFlag | linkerSignedFlag)) != 0;
        if (!signature_->cms || signature_->cms->empty()) {
            if (!adhoc) {
                fail(modifiedReason); // claims a signer but carries no signature
            }
            return;
        }
        const cms::DetachedSignatureCheck cms =
            cms::verifyDetached(text(*signature_->cms), text(primary.bytes));
        if (!cms.valid) {
            fail(modifiedReason);
            return;
        }
        check_.notes.push_back("the trust chain of " + cms.signer + " was not evaluated");
    }

    const macho::Slice& slice_;
    const std::string& path_;
    const std::string& architecture_;
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

SliceCheck checkSlice(const macho::Slice& slice, const std::string& path,
                      const std::string& architecture, const std::optional<BundleItems>& bundle) {
    return SliceChecker(slice, path, architecture, bundle).run();
}

} // namespace bw::codesign
