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

TEST(SymbolTableTest, FindsTheAppsPreferencesAndStoreKitReferences) {
    const Result<OpenedMachOFile> app = openMachOFile(BW_MACHO_FIXTURES_DIR "/ios/App-arm64");
    ASSERT_TRUE(app.ok()) << app.error().description();
    const Result<std::vector<std::string_view>> names =
        undefinedSymbolNames(app->file.slices[0].image);
    ASSERT_TRUE(names.ok());
    for (const char* name :
         {"_OBJC_CLASS_$_SKPaymentQueue", "_OBJC_CLASS_$_NSUserDefaults",
          "_CFPreferencesCopyAppValue", "_CFPreferencesSetAppValue", "_KitVersion"})
        EXPECT_NE(std::ranges::find(*names, name), names->end()) << name;
    EXPECT_EQ(std::ranges::find(*names, "_main"), names->end());
}

} // namespace
} // namespace bw::macho
