#include "platform/macho/MachOImage.h"

#include "MachOBuilder.h"
#include "platform/macho/Constants.h"

#include <gtest/gtest.h>

namespace bw::macho {
namespace {

using namespace constants;
using testing::Buffer;
using testing::ByteWriter;
using testing::ImageBuilder;
using testing::view;

struct Layout {
    const char* label;
    bool is64;
    ByteOrder order;
    int32_t cpuType;
    int32_t cpuSubtype;
    const char* architecture;
};

constexpr Layout layouts[] = {
    {"64-bit little-endian", true, ByteOrder::little, cpuTypeArm64, 2, "arm64e"},
    {"32-bit little-endian", false, ByteOrder::little, cpuTypeArm, 11, "armv7s"},
    {"32-bit big-endian", false, ByteOrder::big, cpuTypePowerPC, 0, "ppc"},
    {"64-bit big-endian", true, ByteOrder::big, cpuTypePowerPC64, 0, "ppc64"},
};

TEST(MachOImageTest, ReadsHeaderDylibsSegmentsSymtabAndSignatureInEveryLayout) {
    for (const Layout& layout : layouts) {
        SCOPED_TRACE(layout.label);
        const Buffer bytes =
            ImageBuilder(layout.is64, layout.order, layout.cpuType, layout.cpuSubtype)
                .dylib(lcIdDylib, "@rpath/Kit.framework/Kit", 0x010203, 0x010000)
                .dylib(lcLoadDylib, "/usr/lib/libSystem.B.dylib", 0x051f0000, 0x10000)
                .dylib(lcLoadWeakDylib, "/weak", 1, 2)
                .dylib(lcReexportDylib, "/reexport", 3, 4)
                .dylib(lcLazyLoadDylib, "/lazy", 5, 6)
                .dylib(lcLoadUpwardDylib, "/upward", 7, 8)
                .segment({"__TEXT",
                          0,
                          0x40,
                          {{"__text", 0x10, 0x20, 0}, {"__bss", 0x1000, 0, sZeroFill}}})
                .symbols({{"_a"}})
                .codeSignature(Buffer(16))
                .build();
        const Result<MachOImage> image = parseImage(view(bytes));
        ASSERT_TRUE(image.ok()) << image.error().description();
        EXPECT_EQ(image->header.is64, layout.is64);
        EXPECT_EQ(image->header.byteOrder, layout.order);
        EXPECT_EQ(image->architecture(), layout.architecture);
        EXPECT_EQ(image->header.commandCount, 9u);
        ASSERT_EQ(image->loadCommands.size(), 9u);
        EXPECT_EQ(image->loadCommands[1].command, lcLoadDylib);

        const std::vector<DylibReference> expected{
            {DylibKind::id, "@rpath/Kit.framework/Kit", 2, 0x010203, 0x010000},
            {DylibKind::load, "/usr/lib/libSystem.B.dylib", 2, 0x051f0000, 0x10000},
            {DylibKind::weak, "/weak", 2, 1, 2},
            {DylibKind::reexport, "/reexport", 2, 3, 4},
            {DylibKind::lazy, "/lazy", 2, 5, 6},
            {DylibKind::upward, "/upward", 2, 7, 8},
        };
        EXPECT_EQ(image->dylibs, expected);

        ASSERT_EQ(image->segments.size(), 1u);
        const Segment& segment = image->segments[0];
        EXPECT_EQ(segment.name, "__TEXT");
        EXPECT_EQ(segment.fileSize, 0x40u);
        ASSERT_EQ(segment.sections.size(), 2u);
        EXPECT_EQ(segment.sections[0].name, "__text");
        EXPECT_EQ(segment.sections[0].segmentName, "__TEXT");
        EXPECT_EQ(segment.sections[0].offset, 0x20u);
        EXPECT_TRUE(segment.sections[0].occupiesFile());
        EXPECT_FALSE(segment.sections[1].occupiesFile());

        ASSERT_TRUE(image->symtab.has_value());
        EXPECT_EQ(image->symtab->symbolCount, 1u);
        ASSERT_TRUE(image->codeSignature.has_value());
        EXPECT_EQ(image->codeSignatureBytes().size(), 16u);
        EXPECT_EQ(image->codeSignature->dataOffset + 16u, bytes.size());
    }
}

TEST(MachOImageTest, FormatsPackedVersions) {
    const std::pair<uint32_t, const char*> cases[] = {
        {0, "0.0.0"},
        {0x010203, "1.2.3"},
        {0x051f0000, "1311.0.0"},
        {0xffffffff, "65535.255.255"},
    };
    for (const auto& [packed, text] : cases)
        EXPECT_EQ(formatVersion(packed), text);
}

// Writes `value` over the 32-bit field at `offset` of a little-endian image.
Buffer patched(Buffer bytes, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes.at(offset + i) = static_cast<std::byte>(value >> (8 * i));
    return bytes;
}

Buffer littleImage(ImageBuilder builder) {
    return builder.build();
}

ImageBuilder arm64() {
    return ImageBuilder(true, ByteOrder::little, cpuTypeArm64, 0);
}

Buffer payload(std::initializer_list<uint32_t> words, const std::string& tail = {}) {
    ByteWriter writer(ByteOrder::little);
    for (uint32_t word : words)
        writer.u32(word);
    for (char c : tail)
        writer.u8(static_cast<uint8_t>(c));
    return writer.bytes();
}

TEST(MachOImageTest, RejectsMalformedImagesWithTheirReason) {
    const Buffer good = littleImage(arm64().dylib(lcLoadDylib, "/usr/lib/libz.dylib", 1, 1));
    // The first command starts at 32: cmd, cmdsize, then the name offset at 40.
    struct Case {
        const char* label;
        Buffer bytes;
        MachOError::Kind kind;
        const char* detail;
    };
    const Case cases[] = {
        {"empty", {}, MachOError::Kind::notObjectFile, ""},
        {"text", payload({0x6c6c6568}, "o\n"), MachOError::Kind::notObjectFile, ""},
        {"header cut short", Buffer(good.begin(), good.begin() + 20), MachOError::Kind::truncated,
         "mach header"},
        {"commands cut short", Buffer(good.begin(), good.begin() + 40), MachOError::Kind::truncated,
         "load commands extend"},
        {"ncmds larger than the commands allow", patched(good, 16, 1000),
         MachOError::Kind::malformed, "ncmds 1000"},
        {"one command more than present", patched(patched(good, 16, 2), 20, 48),
         MachOError::Kind::truncated, "load command 1 extends"},
        {"cmdsize zero", patched(good, 36, 0), MachOError::Kind::malformed, "cmdsize 0"},
        {"cmdsize not a multiple of 8", patched(good, 36, 44), MachOError::Kind::malformed,
         "cmdsize 44"},
        {"cmdsize past the commands", patched(good, 36, 0x100), MachOError::Kind::truncated,
         "load command 0 extends"},
        {"dylib name offset past the command", patched(good, 40, 0x80), MachOError::Kind::malformed,
         "name offset 128"},
        {"dylib name offset inside the fixed fields", patched(good, 40, 8),
         MachOError::Kind::malformed, "name offset 8"},
        {"dylib name without NUL",
         littleImage(arm64().command(lcLoadDylib, payload({24, 0, 0, 0}, "/usr/lib/x.dylib"))),
         MachOError::Kind::malformed, "not NUL-terminated"},
        {"dylib command too small", littleImage(arm64().command(lcLoadDylib, payload({24, 0}))),
         MachOError::Kind::malformed, "too small for a dylib command"},
        {"two ids", littleImage(arm64().dylib(lcIdDylib, "/a", 0, 0).dylib(lcIdDylib, "/b", 0, 0)),
         MachOError::Kind::malformed, "more than one LC_ID_DYLIB"},
        {"two symbol tables", littleImage(arm64().symbols({}).symbols({})),
         MachOError::Kind::malformed, "more than one LC_SYMTAB"},
        {"two signatures", littleImage(arm64().codeSignature({}).codeSignature({})),
         MachOError::Kind::malformed, "more than one LC_CODE_SIGNATURE"},
        {"32-bit segment in a 64-bit image", littleImage(arm64().command(lcSegment, Buffer(48))),
         MachOError::Kind::malformed, "does not match the header's width"},
        {"segment past the end", littleImage(arm64().segment({"__DATA", 0x100, 0x100000, {}})),
         MachOError::Kind::truncated, "segment __DATA extends"},
        {"section past the end",
         littleImage(arm64().segment({"__TEXT", 0, 0, {{"__text", 0x10, 0x7fff0000, 0}}})),
         MachOError::Kind::truncated, "section __text extends"},
        {"symbol table past the end", patched(littleImage(arm64().symbols({{"_a"}})), 44, 1 << 20),
         MachOError::Kind::truncated, "nsyms 1048576"},
        {"string table past the end", patched(littleImage(arm64().symbols({{"_a"}})), 52, 1 << 20),
         MachOError::Kind::truncated, "string table"},
        {"signature past the end", patched(littleImage(arm64().codeSignature(Buffer(8))), 44, 9),
         MachOError::Kind::truncated, "data extends"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const Result<MachOImage> image = parseImage(view(c.bytes));
        ASSERT_FALSE(image.ok());
        EXPECT_EQ(image.error().kind, c.kind);
        EXPECT_NE(image.error().detail.find(c.detail), std::string::npos) << image.error().detail;
    }
}

TEST(MachOImageTest, ZeroFillSectionsNeedNoRoomInTheFile) {
    const Buffer bytes =
        arm64().segment({"__DATA", 0, 0, {{"__bss", 0x100000, 0x7fff0000, sZeroFill}}}).build();
    EXPECT_TRUE(parseImage(view(bytes)).ok());
}

TEST(MachOErrorTest, DescribesEachKind) {
    EXPECT_EQ((MachOError{MachOError::Kind::notObjectFile, {}}).description(),
              "is not an object file");
    EXPECT_EQ(truncated("symbol table extends").description(),
              "truncated or malformed object (symbol table extends)");
    EXPECT_EQ((MachOError{MachOError::Kind::unreadable, "No such file or directory"}).description(),
              "No such file or directory");
}

} // namespace
} // namespace bw::macho
