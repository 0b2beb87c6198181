#include "platform/macho/CodeSignature.h"

#include "tests/fixtures/signer/SignatureBlobs.h"

#include <gtest/gtest.h>
#include <string>
#include <tuple>

namespace bw::macho {
namespace {

using signer::putBig32;
using Blob = signer::Bytes;

// Offsets in the fixed part of a version 0x20400 directory.
constexpr size_t versionField = 8;
constexpr size_t identOffsetField = 20;
constexpr size_t specialSlotsField = 24;
constexpr size_t codeSlotsField = 28;
constexpr size_t codeLimit64Field = 56;

const Blob code(0x2100, 0x5a); // three pages, the last one partial
const Blob infoPlist{'i', 'n', 'f', 'o'};
const Blob requirements{'r', 'e', 'q'};

// The test signer's directory over `code`, bound to two special items.
Blob directory(const std::string& team = "ABCDE12345") {
    signer::DirectoryParams params;
    params.flags = 0x20002;
    params.identifier = "com.example.app";
    params.teamIdentifier = team;
    params.execSegBase = 0x4000;
    params.execSegLimit = 0x8000;
    params.execSegFlags = 1;
    params.specialItems = {infoPlist, requirements};
    return signer::codeDirectory(params, code);
}

Blob blob(uint32_t magic, const std::string& payload) {
    Blob out;
    putBig32(out, magic);
    putBig32(out, static_cast<uint32_t>(8 + payload.size()));
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

// A requirements set holding one designated requirement with `magic`.
Blob requirementsBlob(uint32_t magic = 0xfade0c00) {
    Blob out;
    for (const uint32_t word : {0xfade0c01u, 32u, 1u, 3u, 20u, magic, 12u, 1u}) {
        putBig32(out, word);
    }
    return out;
}

Blob edited(Blob bytes, std::initializer_list<std::pair<size_t, uint64_t>> edits, int width = 4) {
    for (const auto& [offset, value] : edits) {
        for (int i = 0; i < width; ++i) {
            bytes.at(offset + i) = static_cast<uint8_t>(value >> (8 * (width - 1 - i)));
        }
    }
    return bytes;
}

Bytes view(const Blob& bytes) {
    return {reinterpret_cast<const std::byte*>(bytes.data()), bytes.size()};
}

std::string text(Bytes bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

TEST(CodeSignatureTest, ReadsEveryBlobOfAFullSignature) {
    const std::string xml = "<?xml version=\"1.0\"?><plist><dict/></plist>";
    signer::DirectoryParams sha1;
    sha1.hashType = codesign::HashType::sha1;
    sha1.identifier = "com.example.app";
    const Blob signature = signer::superBlob({
        {0, edited(directory(), {{codeLimit64Field, 0x123456789}}, 8)},
        {2, requirementsBlob()},
        {5, blob(0xfade7171, xml)},
        {7, blob(0xfade7172, std::string("\x70\x02\x05\x00", 4))},
        {0x1000, signer::codeDirectory(sha1, code)},
        {0x10000, blob(0xfade0b01, "CMS")},
    });
    const Result<CodeSignature> parsed = parseCodeSignature(view(signature));
    ASSERT_TRUE(parsed.ok()) << parsed.error().description();
    EXPECT_EQ(parsed->index.size(), 6u);

    ASSERT_TRUE(parsed->codeDirectory.has_value());
    const CodeDirectory& directory = *parsed->codeDirectory;
    EXPECT_EQ(std::tuple(directory.version, directory.flags, directory.identifier,
                         directory.teamIdentifier, int(directory.hashType),
                         int(directory.pageSize)),
              std::tuple(0x20400u, 0x20002u, "com.example.app", "ABCDE12345", 2, 12));
    EXPECT_EQ(std::tuple(uint64_t(directory.codeLimit), directory.effectiveCodeLimit(),
                         directory.execSegBase, directory.execSegLimit, directory.execSegFlags),
              std::tuple(uint64_t(code.size()), 0x123456789u, 0x4000u, 0x8000u, 1u));
    ASSERT_EQ(std::pair(directory.nSpecialSlots, directory.nCodeSlots), std::pair(2u, 3u));
    // The verifier's tests check what the slots hold.
    EXPECT_TRUE(directory.codeSlotHash(3).empty());
    EXPECT_TRUE(directory.specialSlotHash(0).empty());
    EXPECT_TRUE(directory.specialSlotHash(3).empty());

    ASSERT_EQ(parsed->alternateCodeDirectories.size(), 1u);
    EXPECT_EQ(parsed->alternateCodeDirectories[0].hashSize, 20);
    EXPECT_FALSE(parsed->alternateCodeDirectories[0].teamIdentifier.has_value());
    ASSERT_EQ(parsed->requirements.size(), 1u);
    EXPECT_EQ(parsed->requirements[0].type, 3u);
    EXPECT_EQ(text(*parsed->entitlementsXml), xml);
    EXPECT_EQ(parsed->entitlementsDer->size(), 4u);
    EXPECT_EQ(text(*parsed->cms), "CMS");
}

TEST(CodeSignatureTest, RejectsSignaturesThatContradictThemselves) {
    const Blob good = signer::superBlob({{0, directory("")}, {5, blob(0xfade7171, "<plist/>")}});
    const size_t at = 12 + 16; // the directory, after the header and two index entries
    // The directory's hashes start at 88 + 16 (identifier) + 2 * 32 (special slots) = 168.
    const uint32_t hashOffset = 168;
    struct Case {
        const char* label;
        Blob bytes;
        const char* detail;
    };
    const Case cases[] = {
        {"empty", {}, "header extends"},
        {"wrong magic", edited(good, {{0, 0xfade0cc1}}), "has magic 0xfade0cc1"},
        {"length past the data", edited(good, {{4, 0x10000}}), "length 65536"},
        {"index past the blob", edited(good, {{8, 0x1000000}}), "index extends"},
        {"blob outside", edited(good, {{16, 0x100000}}), "lies outside"},
        {"blob length past the end", edited(good, {{at + 4, 0x100000}}), "extends past"},
        {"two blobs of one type", edited(good, {{20, 0}}), "two blobs of type 0x00000000"},
        {"directory slot with other magic", edited(good, {{at, 0xfade7171}}),
         "has magic 0xfade7171"},
        {"entitlements slot with other magic", signer::superBlob({{5, blob(0xfade0c02, "xxxx")}}),
         "has magic 0xfade0c02"},
        {"directory version too old", edited(good, {{at + versionField, 0x10000}}),
         "not supported"},
        {"directory shorter than its header",
         signer::superBlob({{0, blob(0xfade0c02, std::string(40, '\0'))}}), "code directory"},
        {"identifier outside", edited(good, {{at + identOffsetField, 0x10000}}),
         "identifier offset"},
        {"hash slots past the directory", edited(good, {{at + codeSlotsField, 1000}}),
         "hash slots"},
        // Four slots end at the hash offset but start at 40, inside the fixed header.
        {"special slots into the header but not past the hash offset",
         edited(good, {{at + specialSlotsField, (hashOffset - 40) / 32}}), "special slots"},
        {"requirement with other magic", signer::superBlob({{2, requirementsBlob(0xfade0c02)}}),
         "requirement has magic"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const Result<CodeSignature> parsed = parseCodeSignature(view(c.bytes));
        ASSERT_FALSE(parsed.ok());
        EXPECT_NE(parsed.error().detail.find(c.detail), std::string::npos) << parsed.error().detail;
    }
}

} // namespace
} // namespace bw::macho
