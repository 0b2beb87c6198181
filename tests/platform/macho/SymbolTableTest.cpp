#include "platform/macho/SymbolTable.h"

#include "MachOBuilder.h"
#include "platform/macho/Constants.h"
#include "platform/macho/MachOFile.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace bw::macho {
namespace {

using namespace constants;
using test::Buffer;
using test::ImageBuilder;
using test::SymbolLayout;
using test::view;

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
}

TEST(SymbolTableTest, AnImageWithoutSymbolTableHasNoSymbols) {
    const Buffer bytes = ImageBuilder(true, ByteOrder::little, cpuTypeArm64, 0).build();
    const Result<MachOImage> image = parseImage(view(bytes));
    ASSERT_TRUE(image.ok());
    EXPECT_TRUE(undefinedSymbolNames(*image)->empty());
}

TEST(SymbolTableTest, RejectsNamesOutsideTheStringTable) {
    Buffer bytes = ImageBuilder(true, ByteOrder::little, cpuTypeArm64, 0).symbols({{"_a"}}).build();
    const Result<MachOImage> good = parseImage(view(bytes));
    ASSERT_TRUE(good.ok());
    const size_t entry = good->symtab->symbolOffset;
    const size_t strings = good->symtab->stringOffset;

    Buffer badIndex = bytes;
    badIndex[entry] = std::byte{0xff};
    Buffer unterminated = bytes;
    std::fill(unterminated.begin() + strings, unterminated.end(), std::byte{'x'});
    for (const Buffer& broken : {badIndex, unterminated}) {
        const Result<MachOImage> image = parseImage(view(broken));
        ASSERT_TRUE(image.ok());
        const Result<std::vector<std::string_view>> names = undefinedSymbolNames(*image);
        ASSERT_FALSE(names.ok());
        EXPECT_EQ(names.error().kind, MachOError::Kind::malformed);
    }
}

} // namespace
} // namespace bw::macho
