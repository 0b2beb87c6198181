#include "platform/macho/CodeSignature.h"

#include "MachOBuilder.h"
#include "platform/macho/MachOFile.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <openssl/sha.h>
#include <string>

namespace bw::macho {
namespace {

using testing::Buffer;
using testing::ByteWriter;
using testing::view;

struct DirectorySpec {
    uint32_t version = 0x20400;
    std::string identifier = "com.example.app";
    std::string team;
    uint32_t specialSlots = 2;
    uint32_t codeSlots = 3;
    uint8_t hashSize = 32;
};

// A code directory whose hash of special slot n is filled with n and code slot i with 0x80 + i.
Buffer codeDirectory(const DirectorySpec& spec) {
    ByteWriter fixed(ByteOrder::big);
    const uint32_t headerSize = spec.version >= 0x20400   ? 88
                                : spec.version >= 0x20300 ? 64
                                : spec.version >= 0x20200 ? 52
                                : spec.version >= 0x20100 ? 48
                                                          : 44;
    const uint32_t identOffset = headerSize;
    const uint32_t teamOffset =
        spec.team.empty() ? 0 : identOffset + uint32_t(spec.identifier.size()) + 1;
    const uint32_t stringsEnd = teamOffset == 0 ? identOffset + uint32_t(spec.identifier.size()) + 1
                                                : teamOffset + uint32_t(spec.team.size()) + 1;
    const uint32_t hashOffset = stringsEnd + spec.specialSlots * spec.hashSize;
    const uint32_t length = hashOffset + spec.codeSlots * spec.hashSize;
    fixed.u32(0xfade0c02);
    fixed.u32(length);
    fixed.u32(spec.version);
    fixed.u32(0x20002); // flags
    fixed.u32(hashOffset);
    fixed.u32(identOffset);
    fixed.u32(spec.specialSlots);
    fixed.u32(spec.codeSlots);
    fixed.u32(0x2100); // codeLimit
    fixed.u8(spec.hashSize);
    fixed.u8(2); // SHA-256
    fixed.u8(0);
    fixed.u8(12);
    fixed.u32(0);
    if (spec.version >= 0x20100)
        fixed.u32(0); // scatter
    if (spec.version >= 0x20200)
        fixed.u32(teamOffset);
    if (spec.version >= 0x20300) {
        fixed.u32(0);
        fixed.u64(0x123456789);
    }
    if (spec.version >= 0x20400) {
        fixed.u64(0x4000);
        fixed.u64(0x8000);
        fixed.u64(1);
    }
    fixed.text(spec.identifier);
    if (!spec.team.empty())
        fixed.text(spec.team);
    for (uint32_t slot = spec.specialSlots; slot >= 1; --slot) {
        for (uint8_t i = 0; i < spec.hashSize; ++i)
            fixed.u8(static_cast<uint8_t>(slot));
    }
    for (uint32_t index = 0; index < spec.codeSlots; ++index) {
        for (uint8_t i = 0; i < spec.hashSize; ++i)
            fixed.u8(static_cast<uint8_t>(0x80 + index));
    }
    return fixed.bytes();
}

Buffer blob(uint32_t magic, const std::string& payload) {
    ByteWriter writer(ByteOrder::big);
    writer.u32(magic);
    writer.u32(static_cast<uint32_t>(8 + payload.size()));
    for (char c : payload)
        writer.u8(static_cast<uint8_t>(c));
    return writer.bytes();
}

Buffer requirementsBlob(uint32_t requirementMagic = 0xfade0c00) {
    ByteWriter writer(ByteOrder::big);
    writer.u32(0xfade0c01);
    writer.u32(12 + 8 + 12);
    writer.u32(1);
    writer.u32(3); // designated requirement
    writer.u32(20);
    writer.u32(requirementMagic);
    writer.u32(12);
    writer.u32(1);
    return writer.bytes();
}

Buffer superBlob(const std::vector<std::pair<uint32_t, Buffer>>& blobs,
                 uint32_t magic = 0xfade0cc0) {
    ByteWriter writer(ByteOrder::big);
    uint32_t offset = 12 + 8 * static_cast<uint32_t>(blobs.size());
    uint32_t length = offset;
    for (const auto& entry : blobs)
        length += static_cast<uint32_t>(entry.second.size());
    writer.u32(magic);
    writer.u32(length);
    writer.u32(static_cast<uint32_t>(blobs.size()));
    for (const auto& [type, bytes] : blobs) {
        writer.u32(type);
        writer.u32(offset);
        offset += static_cast<uint32_t>(bytes.size());
    }
    for (const auto& entry : blobs)
        writer.append(entry.second);
    return writer.bytes();
}

std::string text(Bytes bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

TEST(CodeSignatureTest, ReadsEveryBlobOfAFullSignature) {
    const std::string xml = "<?xml version=\"1.0\"?><plist><dict/></plist>";
    const Buffer signature = superBlob({
        {0, codeDirectory({0x20400, "com.example.app", "ABCDE12345", 2, 3, 32})},
        {2, requirementsBlob()},
        {5, blob(0xfade7171, xml)},
        {7, blob(0xfade7172, std::string("\x70\x02\x05\x00", 4))},
        {0x1000, codeDirectory({0x20001, "com.example.app", "", 0, 1, 20})},
        {0x10000, blob(0xfade0b01, "CMS")},
    });
    const Result<CodeSignature> parsed = parseCodeSignature(view(signature));
    ASSERT_TRUE(parsed.ok()) << parsed.error().description();
    EXPECT_EQ(parsed->index.size(), 6u);
    EXPECT_EQ(parsed->bytes.size(), signature.size());

    ASSERT_TRUE(parsed->codeDirectory.has_value());
    const CodeDirectory& directory = *parsed->codeDirectory;
    EXPECT_EQ(directory.version, 0x20400u);
    EXPECT_EQ(directory.flags, 0x20002u);
    EXPECT_EQ(directory.identifier, "com.example.app");
    EXPECT_EQ(directory.teamIdentifier, "ABCDE12345");
    EXPECT_EQ(directory.hashType, 2);
    EXPECT_EQ(directory.pageSize, 12);
    EXPECT_EQ(directory.codeLimit, 0x2100u);
    EXPECT_EQ(directory.codeLimit64, 0x123456789u);
    EXPECT_EQ(directory.effectiveCodeLimit(), 0x123456789u);
    EXPECT_EQ(directory.execSegBase, 0x4000u);
    EXPECT_EQ(directory.execSegLimit, 0x8000u);
    EXPECT_EQ(directory.execSegFlags, 1u);
    EXPECT_EQ(directory.nSpecialSlots, 2u);
    EXPECT_EQ(directory.nCodeSlots, 3u);
    for (uint32_t slot = 1; slot <= 2; ++slot) {
        ASSERT_EQ(directory.specialSlotHash(slot).size(), 32u);
        EXPECT_EQ(directory.specialSlotHash(slot)[0], std::byte(slot));
    }
    for (uint32_t index = 0; index < 3; ++index)
        EXPECT_EQ(directory.codeSlotHash(index)[31], std::byte(0x80 + index));
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

TEST(CodeSignatureTest, ReadsTheFieldsOfEachDirectoryVersion) {
    for (const uint32_t version : {0x20001u, 0x20100u, 0x20200u, 0x20300u, 0x20400u}) {
        SCOPED_TRACE(version);
        const Result<CodeDirectory> directory =
            parseCodeDirectory(view(codeDirectory({version, "com.example.app", "TEAM", 2, 3, 32})));
        ASSERT_TRUE(directory.ok()) << directory.error().description();
        EXPECT_EQ(directory->identifier, "com.example.app");
        EXPECT_EQ(directory->teamIdentifier.has_value(), version >= 0x20200);
        EXPECT_EQ(directory->effectiveCodeLimit(), version >= 0x20300 ? 0x123456789u : 0x2100u);
        EXPECT_EQ(directory->execSegLimit, version >= 0x20400 ? 0x8000u : 0u);
    }
}

void putBig32(Buffer& bytes, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes.at(offset + i) = static_cast<std::byte>(value >> (24 - 8 * i));
}

Buffer edited(Buffer bytes, std::initializer_list<std::pair<size_t, uint32_t>> edits) {
    for (const auto& [offset, value] : edits)
        putBig32(bytes, offset, value);
    return bytes;
}

TEST(CodeSignatureTest, RejectsSignaturesThatContradictThemselves) {
    const Buffer good = superBlob({{0, codeDirectory({})}, {5, blob(0xfade7171, "<plist/>")}});
    const size_t directoryAt = 12 + 16; // after the header and two index entries
    struct Case {
        const char* label;
        Buffer bytes;
        const char* detail;
    };
    const Case cases[] = {
        {"empty", {}, "header extends"},
        {"wrong magic", edited(good, {{0, 0xfade0cc1}}), "has magic 0xfade0cc1"},
        {"length past the data", edited(good, {{4, 0x10000}}), "length 65536"},
        {"index past the blob", edited(good, {{8, 0x1000000}}), "index extends"},
        {"blob outside", edited(good, {{16, 0x100000}}), "lies outside"},
        {"blob length past the end", edited(good, {{directoryAt + 4, 0x100000}}), "extends past"},
        {"blob length below its header", edited(good, {{directoryAt + 4, 4}}), "extends past"},
        {"two blobs of one type", edited(good, {{20, 0}}), "two blobs of type 0x00000000"},
        {"directory slot with other magic", edited(good, {{directoryAt, 0xfade7171}}),
         "has magic 0xfade7171"},
        {"entitlements slot with other magic", superBlob({{5, blob(0xfade0c02, "xxxx")}}),
         "has magic 0xfade0c02"},
        {"directory version too old", edited(good, {{directoryAt + 8, 0x10000}}), "not supported"},
        {"directory shorter than its header",
         superBlob({{0, blob(0xfade0c02, std::string(40, '\0'))}}), "code directory"},
        {"identifier outside", edited(good, {{directoryAt + 20, 0x10000}}), "identifier offset"},
        {"identifier inside the header", edited(good, {{directoryAt + 20, 8}}),
         "identifier offset 8"},
        {"hash slots past the directory", edited(good, {{directoryAt + 28, 1000}}), "hash slots"},
        {"special slots over the header", edited(good, {{directoryAt + 24, 100}}), "special slots"},
        {"requirement with other magic", superBlob({{2, requirementsBlob(0xfade0c02)}}),
         "requirement has magic"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const Result<CodeSignature> parsed = parseCodeSignature(view(c.bytes));
        ASSERT_FALSE(parsed.ok());
        EXPECT_NE(parsed.error().detail.find(c.detail), std::string::npos) << parsed.error().detail;
    }
}

// lld's ad-hoc signature hashes each 4 KiB page up to the signature with SHA-256.
TEST(CodeSignatureTest, ReadsTheLinkersAdHocSignatureWhosePageHashesMatch) {
    for (const char* name : {"ios/App-adhoc-arm64", "ios/App-adhoc-universal",
                             "macos/Tool-adhoc-universal", "ios/Kit-adhoc"}) {
        SCOPED_TRACE(name);
        const Result<OpenedMachOFile> opened =
            openMachOFile(std::string(BW_MACHO_FIXTURES_DIR "/") + name);
        ASSERT_TRUE(opened.ok()) << opened.error().description();
        for (const Slice& slice : opened->file.slices) {
            const MachOImage& image = slice.image;
            ASSERT_TRUE(image.codeSignature.has_value());
            const Result<CodeSignature> signature = parseCodeSignature(image.codeSignatureBytes());
            ASSERT_TRUE(signature.ok()) << signature.error().description();
            ASSERT_TRUE(signature->codeDirectory.has_value());
            const CodeDirectory& directory = *signature->codeDirectory;
            EXPECT_EQ(directory.flags, 0x20002u);
            EXPECT_EQ(directory.hashType, 2);
            EXPECT_EQ(directory.hashSize, 32);
            EXPECT_EQ(directory.pageSize, 12);
            EXPECT_FALSE(directory.identifier.empty());
            EXPECT_FALSE(signature->entitlementsXml.has_value());
            EXPECT_EQ(directory.effectiveCodeLimit(), image.codeSignature->dataOffset);
            const uint64_t pageSize = uint64_t{1} << directory.pageSize;
            ASSERT_EQ(directory.nCodeSlots,
                      (directory.effectiveCodeLimit() + pageSize - 1) / pageSize);
            for (uint32_t page = 0; page < directory.nCodeSlots; ++page) {
                const uint64_t start = page * pageSize;
                const uint64_t length = std::min(pageSize, directory.effectiveCodeLimit() - start);
                unsigned char digest[SHA256_DIGEST_LENGTH];
                SHA256(reinterpret_cast<const unsigned char*>(image.bytes.data() + start), length,
                       digest);
                const Bytes stored = directory.codeSlotHash(page);
                ASSERT_EQ(stored.size(), sizeof digest);
                EXPECT_EQ(std::memcmp(stored.data(), digest, sizeof digest), 0) << "page " << page;
            }
        }
    }
}

} // namespace
} // namespace bw::macho
