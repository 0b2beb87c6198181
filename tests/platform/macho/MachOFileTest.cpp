#include "platform/macho/MachOFile.h"

#include "MachOBuilder.h"
#include "platform/macho/Constants.h"
#include "tests/support/ReadFile.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace bw::macho {
namespace {

using namespace constants;
using bw::test::readFile;
using test::Buffer;
using test::ByteWriter;
using test::ImageBuilder;
using test::view;

// Writes `value` over the 32-bit field at `offset`, little-endian as in an arm64 image unless told.
Buffer patched(Buffer bytes, size_t offset, uint32_t value, ByteOrder order = ByteOrder::little) {
    ByteWriter word(order);
    word.u32(value);
    std::ranges::copy(word.bytes(), bytes.begin() + offset);
    return bytes;
}

ImageBuilder arm64() {
    return ImageBuilder(true, ByteOrder::little, cpuTypeArm64, 0);
}

Buffer payload(std::initializer_list<uint32_t> words) {
    ByteWriter writer(ByteOrder::little);
    for (uint32_t word : words) {
        writer.u32(word);
    }
    return writer.bytes();
}

Buffer build(const ImageBuilder& builder) {
    return builder.build();
}

// Malformed inputs, thin or universal, fail with their kind and a reason that names the field. The
// tools' tests run the malformed fixtures (truncations, out-of-range offsets and counts, bad
// slices); these are the faults that set has no file for, or that another check there refuses.
TEST(MachOFileTest, RejectsMalformedInputsWithTheirReason) {
    // The linker's x86_64 and arm64 slices. Entries start at 8, 20 bytes each: cputype,
    // cpusubtype, offset, size, align.
    const std::string file = readFile(BW_MACHO_FIXTURES_DIR "/ios/App-universal");
    const Buffer good(reinterpret_cast<const std::byte*>(file.data()),
                      reinterpret_cast<const std::byte*>(file.data()) + file.size());
    const auto edited = [&](std::initializer_list<std::pair<size_t, uint32_t>> edits) {
        Buffer bytes = good;
        for (const auto& [offset, value] : edits) {
            bytes = patched(std::move(bytes), offset, value, ByteOrder::big);
        }
        return bytes;
    };
    const uint32_t firstOffset = uint32_t(parseMachOFile(view(good))->slices.at(0).offset);
    struct Case {
        const char* label;
        Buffer bytes;
        MachOError::Kind kind;
        const char* detail;
    };
    const Buffer thin = build(arm64().dylib(lcLoadDylib, "/usr/lib/libz.dylib", 1, 1));
    // A segment of one section as the first command: nsects is at 32 + 64.
    const Buffer sectioned = build(arm64().segment({"__TEXT", 0, 0, {{"__text", 0x10, 0x20, 0}}}));
    const Case cases[] = {
        {"header cut short", Buffer(thin.begin(), thin.begin() + 20), MachOError::Kind::truncated,
         "mach header"},
        {"ncmds larger than the commands allow", patched(thin, 16, 1000),
         MachOError::Kind::malformed, "ncmds 1000"},
        {"cmdsize zero", patched(thin, 36, 0), MachOError::Kind::malformed, "cmdsize 0"},
        {"cmdsize past the commands", patched(thin, 36, 0x100), MachOError::Kind::truncated,
         "load command 0 extends"},
        {"dylib name offset inside the fixed fields", patched(thin, 40, 8),
         MachOError::Kind::malformed, "name offset 8"},
        {"dylib command too small", build(arm64().command(lcLoadDylib, payload({24, 0}))),
         MachOError::Kind::malformed, "too small for a dylib command"},
        {"two ids", build(arm64().dylib(lcIdDylib, "/a", 0, 0).dylib(lcIdDylib, "/b", 0, 0)),
         MachOError::Kind::malformed, "more than one LC_ID_DYLIB"},
        {"two symbol tables", build(arm64().symbols({}).symbols({})), MachOError::Kind::malformed,
         "more than one LC_SYMTAB"},
        {"two signatures", build(arm64().codeSignature({}).codeSignature({})),
         MachOError::Kind::malformed, "more than one LC_CODE_SIGNATURE"},
        {"32-bit segment in a 64-bit image", build(arm64().command(lcSegment, Buffer(48))),
         MachOError::Kind::malformed, "does not match the header's width"},
        {"section past the end",
         build(arm64().segment({"__TEXT", 0, 0, {{"__text", 0x10, 0x7fff0000, 0}}})),
         MachOError::Kind::truncated, "section __text extends"},
        {"section count past its segment", patched(sectioned, 96, 2), MachOError::Kind::malformed,
         "nsects 2"},
        {"slice size wraps", edited({{28 + 12, 0xffffffff}}), MachOError::Kind::truncated,
         "offset plus size"},
        {"misaligned", edited({{8 + 8, firstOffset + 4}}), MachOError::Kind::malformed,
         "not aligned"},
        {"slice over the header", edited({{8 + 8, 0}}), MachOError::Kind::malformed,
         "overlaps the universal headers"},
        {"two slices of one architecture", edited({{28, cpuTypeX86_64}, {32, 3}}),
         MachOError::Kind::malformed, "two slices for x86_64"},
        {"alignment too large", edited({{8 + 16, 16}}), MachOError::Kind::malformed, "2^16"},
        // The arm64 slice at 2^14, inside the x86_64 one.
        {"overlapping slices", edited({{28 + 8, 0x4000}}), MachOError::Kind::malformed, "overlaps"},
        {"header claims another architecture", edited({{8, cpuTypeArm}, {12, 9}}),
         MachOError::Kind::malformed, "slice for armv7 holds an image for x86_64"},
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
    // The tools' tests open every fixture, and a missing file.
    const Result<OpenedMachOFile> folder = openMachOFile("/tmp");
    ASSERT_FALSE(folder.ok());
    EXPECT_EQ(folder.error().kind, MachOError::Kind::unreadable);
    EXPECT_EQ(folder.error().detail, "Is a directory");

    const std::string fifo = ::testing::TempDir() + "macho-fifo-" + std::to_string(::getpid());
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0700), 0);
    const Result<OpenedMachOFile> pipe = openMachOFile(fifo);
    ::unlink(fifo.c_str());
    ASSERT_FALSE(pipe.ok());
    EXPECT_EQ(pipe.error().detail, "Not a regular file");
}

} // namespace
} // namespace bw::macho
