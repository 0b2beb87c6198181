#include "platform/macho/MachOFile.h"

#include "MachOBuilder.h"
#include "platform/macho/Architecture.h"
#include "platform/macho/Constants.h"

#include <gtest/gtest.h>
#include <string>

namespace bw::macho {
namespace {

using namespace constants;
using testing::Buffer;
using testing::ImageBuilder;
using testing::universal;
using testing::view;

Buffer ppcImage() {
    return ImageBuilder(false, ByteOrder::big, cpuTypePowerPC, 0)
        .dylib(lcLoadDylib, "/ppc", 0, 0)
        .build();
}

Buffer i386Image() {
    return ImageBuilder(false, ByteOrder::little, cpuTypeX86, 3)
        .dylib(lcLoadDylib, "/i386", 0, 0)
        .build();
}

Buffer x86_64hImage() {
    return ImageBuilder(true, ByteOrder::little, cpuTypeX86_64, 8).build();
}

TEST(MachOFileTest, ReadsThinAndUniversalFilesOfEveryHeaderKind) {
    const std::vector<testing::SliceSpec> slices{
        {cpuTypePowerPC, 0, ppcImage()},
        {cpuTypeX86, 3, i386Image()},
        {cpuTypeX86_64, 8, x86_64hImage()},
    };
    struct Case {
        const char* label;
        Buffer bytes;
        MachOFile::Container container;
        std::vector<std::string> architectures;
    };
    const Case cases[] = {
        {"thin", i386Image(), MachOFile::Container::thin, {"i386"}},
        {"fat", universal(slices, false), MachOFile::Container::fat, {"ppc", "i386", "x86_64h"}},
        {"fat64",
         universal(slices, true, 14),
         MachOFile::Container::fat64,
         {"ppc", "i386", "x86_64h"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const Result<MachOFile> file = parseMachOFile(view(c.bytes));
        ASSERT_TRUE(file.ok()) << file.error().description();
        EXPECT_EQ(file->container, c.container);
        std::vector<std::string> architectures;
        for (const Slice& slice : file->slices) {
            architectures.push_back(slice.architecture());
            EXPECT_EQ(slice.image.bytes.size(), slice.size);
            EXPECT_EQ(slice.image.bytes.data(), c.bytes.data() + slice.offset);
        }
        EXPECT_EQ(architectures, c.architectures);
    }
    const Result<MachOFile> fat = parseMachOFile(view(universal(slices, false)));
    ASSERT_TRUE(fat.ok());
    EXPECT_EQ(fat->slices[0].image.dylibs.at(0).installName, "/ppc");
    EXPECT_EQ(fat->slices[1].image.dylibs.at(0).installName, "/i386");
}

void putBig32(Buffer& bytes, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes.at(offset + i) = static_cast<std::byte>(value >> (24 - 8 * i));
}

TEST(MachOFileTest, RejectsInconsistentUniversalHeaders) {
    const Buffer good =
        universal({{cpuTypePowerPC, 0, ppcImage()}, {cpuTypeX86, 3, i386Image()}}, false);
    // Entries start at 8, 20 bytes each: cputype, cpusubtype, offset, size, align.
    const auto edited = [&](std::initializer_list<std::pair<size_t, uint32_t>> edits) {
        Buffer bytes = good;
        for (const auto& [offset, value] : edits)
            putBig32(bytes, offset, value);
        return bytes;
    };
    const uint32_t firstOffset = 4096;
    struct Case {
        const char* label;
        Buffer bytes;
        MachOError::Kind kind;
        const char* detail;
    };
    const Case cases[] = {
        {"header cut short", Buffer(good.begin(), good.begin() + 6), MachOError::Kind::truncated,
         "fat header"},
        {"entries past the end", edited({{4, 0x10000000}}), MachOError::Kind::truncated,
         "nfat_arch 268435456"},
        {"no slices", edited({{4, 0}}), MachOError::Kind::malformed, "no architectures"},
        {"slice past the end", edited({{28 + 8, 0x00100000}}), MachOError::Kind::truncated,
         "slice for i386: offset plus size"},
        {"slice size wraps", edited({{28 + 12, 0xffffffff}}), MachOError::Kind::truncated,
         "offset plus size"},
        {"alignment too large", edited({{8 + 16, 16}}), MachOError::Kind::malformed, "2^16"},
        {"misaligned", edited({{8 + 8, firstOffset + 4}}), MachOError::Kind::malformed,
         "not aligned"},
        {"slice over the header", edited({{8 + 8, 0}}), MachOError::Kind::malformed,
         "overlaps the universal headers"},
        {"overlapping slices", edited({{28 + 8, firstOffset}}), MachOError::Kind::malformed,
         "overlaps"},
        {"two slices of one architecture", edited({{8, cpuTypeX86}, {12, 3}}),
         MachOError::Kind::malformed, "two slices for i386"},
        {"header claims another architecture", edited({{8, cpuTypeArm}, {12, 9}}),
         MachOError::Kind::malformed, "slice for armv7 holds an image for ppc"},
        {"slice without Mach-O", edited({{firstOffset, 0x12345678}}), MachOError::Kind::malformed,
         "does not hold a Mach-O image"},
        {"slice with a broken image", edited({{firstOffset + 16, 0xffff}}),
         MachOError::Kind::malformed, "ncmds"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const Result<MachOFile> file = parseMachOFile(view(c.bytes));
        ASSERT_FALSE(file.ok());
        EXPECT_EQ(file.error().kind, c.kind);
        EXPECT_NE(file.error().detail.find(c.detail), std::string::npos) << file.error().detail;
    }
}

TEST(MachOFileTest, OpensFilesFromDiskAndReportsTheSystemsError) {
    const Result<OpenedMachOFile> missing = openMachOFile("/nonexistent/berthwatch-macho");
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().kind, MachOError::Kind::unreadable);
    EXPECT_EQ(missing.error().detail, "No such file or directory");

    const Result<OpenedMachOFile> folder = openMachOFile("/tmp");
    ASSERT_FALSE(folder.ok());
    EXPECT_EQ(folder.error().detail, "Is a directory");

    const Result<OpenedMachOFile> app = openMachOFile(BW_MACHO_FIXTURES_DIR "/ios/App-universal");
    ASSERT_TRUE(app.ok()) << app.error().description();
    EXPECT_EQ(app->file.slices.size(), 2u);
    const Result<OpenedMachOFile> fat64 =
        openMachOFile(BW_MACHO_FIXTURES_DIR "/ios/App-universal-fat64");
    ASSERT_TRUE(fat64.ok()) << fat64.error().description();
    EXPECT_EQ(fat64->file.container, MachOFile::Container::fat64);
    for (size_t i = 0; i < 2; ++i)
        EXPECT_EQ(fat64->file.slices[i].image.dylibs, app->file.slices[i].image.dylibs);
}

TEST(ArchitectureTest, NamesCommonArchitecturesAndFallsBackForUnknownOnes) {
    struct Case {
        int32_t cpuType;
        uint32_t cpuSubtype;
        const char* name;
    };
    const Case cases[] = {
        {cpuTypeX86_64, 3, "x86_64"},
        {cpuTypeX86_64, 0x80000003, "x86_64"},
        {cpuTypeX86_64, 8, "x86_64h"},
        {cpuTypeX86, 3, "i386"},
        {cpuTypeArm64, 0, "arm64"},
        {cpuTypeArm64, 0x80000002, "arm64e"},
        {cpuTypeArm64_32, 1, "arm64_32"},
        {cpuTypeArm, 9, "armv7"},
        {cpuTypeArm, 11, "armv7s"},
        {cpuTypeArm, 12, "armv7k"},
        {cpuTypeArm, 6, "armv6"},
        {cpuTypePowerPC, 0, "ppc"},
        {cpuTypePowerPC64, 0, "ppc64"},
        {99, 5, "unknown(99,5)"},
        {cpuTypeArm64, 7, "unknown(16777228,7)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(architectureName(c.cpuType, static_cast<int32_t>(c.cpuSubtype)), c.name);
}

} // namespace
} // namespace bw::macho
