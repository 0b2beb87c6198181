#include "platform/macho/MachOImage.h"

#include "MachOBuilder.h"
#include "platform/macho/Constants.h"
#include "platform/macho/MachOFile.h"
#include "platform/macho/SymbolTable.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <tuple>

namespace bw::macho {
namespace {

using namespace constants;
using test::Buffer;
using test::ImageBuilder;
using test::SymbolLayout;
using test::view;

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

// The tools' tests compare every dylib kind with llvm's reading of the linker's files; here every
// width and byte order, which the linker here does not all write.
TEST(MachOImageTest, ReadsHeaderDylibsSegmentsSymtabAndSignatureInEveryLayout) {
    for (const Layout& layout : layouts) {
        SCOPED_TRACE(layout.label);
        const Buffer bytes =
            ImageBuilder(layout.is64, layout.order, layout.cpuType, layout.cpuSubtype)
                .dylib(lcIdDylib, "@rpath/Kit.framework/Kit", 0x010203, 0x010000)
                .dylib(lcLoadDylib, "/usr/lib/libSystem.B.dylib", 0x051f0000, 0x10000)
                .segment({"__TEXT",
                          0,
                          0x40,
                          // Zero-fill sections need no room in the file.
                          {{"__text", 0x10, 0x20, 0}, {"__bss", 0x100000, 0x7fff0000, sZeroFill}}})
                .symbols({{"_a"}})
                .codeSignature(Buffer(16))
                .build();
        const Result<MachOImage> image = parseImage(view(bytes));
        ASSERT_TRUE(image.ok()) << image.error().description();
        EXPECT_EQ(std::tuple(image->header.is64, image->header.byteOrder, image->architecture(),
                             image->header.commandCount),
                  std::tuple(layout.is64, layout.order, layout.architecture, 5u));
        ASSERT_EQ(image->loadCommands.size(), 5u);

        const std::vector<DylibReference> expected{
            {DylibKind::id, "@rpath/Kit.framework/Kit", 2, 0x010203, 0x010000},
            {DylibKind::load, "/usr/lib/libSystem.B.dylib", 2, 0x051f0000, 0x10000},
        };
        EXPECT_EQ(image->dylibs, expected);

        ASSERT_EQ(image->segments.size(), 1u);
        const Segment& segment = image->segments[0];
        ASSERT_EQ(segment.sections.size(), 2u);
        const Section& text = segment.sections[0];
        EXPECT_EQ(std::tuple(segment.name, segment.fileSize, text.name, text.segmentName,
                             text.offset, text.occupiesFile(), segment.sections[1].occupiesFile()),
                  std::tuple("__TEXT", 0x40u, "__text", "__TEXT", 0x20u, true, false));

        ASSERT_TRUE(image->symtab.has_value());
        EXPECT_EQ(image->symtab->symbolCount, 1u);
        ASSERT_TRUE(image->codeSignature.has_value());
        EXPECT_EQ(image->codeSignatureBytes().size(), 16u);
        EXPECT_EQ(image->codeSignature->dataOffset + 16u, bytes.size());
    }
}

const std::vector<SymbolLayout> mixedSymbols{
    {"_zeta", 0x01, 0}, // undefined external
    {"_OBJC_CLASS_$_NSUserDefaults", 0x01, 0},
    {"_defined", 0x0f, 0x1000},  // defined in a section, external
    {"_function_stab", 0x24, 0}, // a debugging entry
    {"_common", 0x01, 16},       // a common symbol: undefined with a size
    {"_private", 0x00, 0},       // undefined, not external
    {"_Alpha", 0x01, 0},
};

TEST(SymbolTableTest, ListsUndefinedExternalsSortedInEveryLayout) {
    const std::vector<std::string_view> expected{"_Alpha", "_OBJC_CLASS_$_NSUserDefaults", "_zeta"};
    for (const bool is64 : {true, false}) {
        for (const ByteOrder order : {ByteOrder::little, ByteOrder::big}) {
            const Buffer bytes =
                ImageBuilder(is64, order, cpuTypeArm, 9).symbols(mixedSymbols).build();
            const Result<MachOImage> image = parseImage(view(bytes));
            ASSERT_TRUE(image.ok()) << image.error().description();
            const Result<std::vector<Symbol>> symbols = readSymbols(*image);
            ASSERT_TRUE(symbols.ok());
            ASSERT_EQ(symbols->size(), mixedSymbols.size());
            EXPECT_EQ((*symbols)[2].name, "_defined");
            EXPECT_EQ((*symbols)[2].value, 0x1000u);
            const Result<std::vector<std::string_view>> names = undefinedSymbolNames(*image);
            ASSERT_TRUE(names.ok());
            EXPECT_EQ(*names, expected);
        }
    }
    const Buffer withoutTable = ImageBuilder(true, ByteOrder::little, cpuTypeArm64, 0).build();
    EXPECT_TRUE(undefinedSymbolNames(*parseImage(view(withoutTable)))->empty());
}

TEST(SymbolTableTest, RejectsDamagedNameReferences) {
    // The first symbol has a long name, which the others may be made to share.
    std::vector<SymbolLayout> layout{{"_" + std::string(4000, 'x')}};
    for (int i = 0; i < 300; ++i) {
        layout.push_back({"_s" + std::to_string(i)});
    }
    Buffer bytes = ImageBuilder(true, ByteOrder::little, cpuTypeArm64, 0).symbols(layout).build();
    const Result<MachOImage> good = parseImage(view(bytes));
    ASSERT_TRUE(good.ok());
    ASSERT_TRUE(readSymbols(*good).ok());
    const size_t entry = good->symtab->symbolOffset;
    const size_t strings = good->symtab->stringOffset;

    Buffer badIndex = bytes;
    badIndex[entry + 3] = std::byte{0xff};
    Buffer unterminated = bytes;
    std::fill(unterminated.begin() + strings, unterminated.end(), std::byte{'x'});
    // Reading and listing would take the count times the long name.
    Buffer overlapping = bytes;
    for (size_t i = 1; i < layout.size(); ++i) {
        std::copy_n(bytes.begin() + entry, 4, overlapping.begin() + entry + i * nlist64Size);
    }
    for (const Buffer& broken : {badIndex, unterminated, overlapping}) {
        const Result<MachOImage> image = parseImage(view(broken));
        ASSERT_TRUE(image.ok());
        const Result<std::vector<std::string_view>> names = undefinedSymbolNames(*image);
        ASSERT_FALSE(names.ok());
        EXPECT_EQ(names.error().kind, MachOError::Kind::malformed);
    }
}

} // namespace
} // namespace bw::macho
