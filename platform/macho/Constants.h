#pragma once

#include <cstdint>

// The numbers of the Mach-O format that this reader understands, named as in the format's
// documentation.
namespace bw::macho::constants {

// Magic numbers as read in the file's own byte order.
inline constexpr uint32_t magic32 = 0xfeedface;
inline constexpr uint32_t magic64 = 0xfeedfacf;
inline constexpr uint32_t cigam32 = 0xcefaedfe;
inline constexpr uint32_t cigam64 = 0xcffaedfe;
// Universal headers are always big-endian.
inline constexpr uint32_t fatMagic = 0xcafebabe;
inline constexpr uint32_t fatMagic64 = 0xcafebabf;

inline constexpr uint32_t header32Size = 28;
inline constexpr uint32_t header64Size = 32;
inline constexpr uint32_t fatHeaderSize = 8;
inline constexpr uint32_t fatArchSize = 20;
inline constexpr uint32_t fatArch64Size = 32;
inline constexpr uint32_t maxSliceAlignment = 15;

inline constexpr int32_t cpuArch64 = 0x01000000;
inline constexpr int32_t cpuArch64_32 = 0x02000000;
inline constexpr uint32_t cpuSubtypeMask = 0xff000000;

inline constexpr int32_t cpuTypeVax = 1;
inline constexpr int32_t cpuTypeMc680x0 = 6;
inline constexpr int32_t cpuTypeX86 = 7;
inline constexpr int32_t cpuTypeX86_64 = cpuTypeX86 | cpuArch64;
inline constexpr int32_t cpuTypeMc98000 = 10;
inline constexpr int32_t cpuTypeHppa = 11;
inline constexpr int32_t cpuTypeArm = 12;
inline constexpr int32_t cpuTypeArm64 = cpuTypeArm | cpuArch64;
inline constexpr int32_t cpuTypeArm64_32 = cpuTypeArm | cpuArch64_32;
inline constexpr int32_t cpuTypeMc88000 = 13;
inline constexpr int32_t cpuTypeSparc = 14;
inline constexpr int32_t cpuTypeI860 = 15;
inline constexpr int32_t cpuTypePowerPC = 18;
inline constexpr int32_t cpuTypePowerPC64 = cpuTypePowerPC | cpuArch64;

// Load commands.
inline constexpr uint32_t lcReqDyld = 0x80000000;
inline constexpr uint32_t lcSegment = 0x1;
inline constexpr uint32_t lcSymtab = 0x2;
inline constexpr uint32_t lcLoadDylib = 0xc;
inline constexpr uint32_t lcIdDylib = 0xd;
inline constexpr uint32_t lcLoadWeakDylib = 0x18 | lcReqDyld;
inline constexpr uint32_t lcSegment64 = 0x19;
inline constexpr uint32_t lcCodeSignature = 0x1d;
inline constexpr uint32_t lcReexportDylib = 0x1f | lcReqDyld;
inline constexpr uint32_t lcLazyLoadDylib = 0x20;
inline constexpr uint32_t lcLoadUpwardDylib = 0x23 | lcReqDyld;

inline constexpr uint32_t loadCommandHeaderSize = 8;
inline constexpr uint32_t dylibCommandSize = 24;
inline constexpr uint32_t symtabCommandSize = 24;
inline constexpr uint32_t linkeditDataCommandSize = 16;
inline constexpr uint32_t segmentCommandSize = 56;
inline constexpr uint32_t segment64CommandSize = 72;
inline constexpr uint32_t sectionSize = 68;
inline constexpr uint32_t section64Size = 80;

// Section types whose contents take no room in the file.
inline constexpr uint32_t sectionTypeMask = 0xff;
inline constexpr uint32_t sZeroFill = 0x1;
inline constexpr uint32_t sGbZeroFill = 0xc;
inline constexpr uint32_t sThreadLocalZeroFill = 0x12;

// Symbol table entries.
inline constexpr uint32_t nlistSize = 12;
inline constexpr uint32_t nlist64Size = 16;
inline constexpr uint8_t nStab = 0xe0;
inline constexpr uint8_t nType = 0x0e;
inline constexpr uint8_t nExt = 0x01;
inline constexpr uint8_t nUndf = 0x0;

} // namespace bw::macho::constants
