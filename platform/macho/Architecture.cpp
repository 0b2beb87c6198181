#include "platform/macho/Architecture.h"

#include "platform/macho/Constants.h"

#include <array>

namespace bw::macho {
namespace {

using namespace constants;

struct ArchitectureEntry {
    int32_t cpuType;
    uint32_t cpuSubtype;
    const char* name;
};

constexpr std::array architectures{
    ArchitectureEntry{cpuTypeX86_64, 3, "x86_64"},
    ArchitectureEntry{cpuTypeX86_64, 8, "x86_64h"},
    ArchitectureEntry{cpuTypeX86, 3, "i386"},
    ArchitectureEntry{cpuTypeX86, 4, "i486"},
    ArchitectureEntry{cpuTypeX86, 0x84, "i486SX"},
    ArchitectureEntry{cpuTypeX86, 5, "pentium"},
    ArchitectureEntry{cpuTypeX86, 0x16, "pentpro"},
    ArchitectureEntry{cpuTypeX86, 0x36, "pentIIm3"},
    ArchitectureEntry{cpuTypeX86, 0x56, "pentIIm5"},
    ArchitectureEntry{cpuTypeX86, 0x0a, "pentium4"},
    ArchitectureEntry{cpuTypeArm64, 0, "arm64"},
    ArchitectureEntry{cpuTypeArm64, 1, "arm64v8"},
    ArchitectureEntry{cpuTypeArm64, 2, "arm64e"},
    ArchitectureEntry{cpuTypeArm64_32, 0, "arm64_32"},
    ArchitectureEntry{cpuTypeArm64_32, 1, "arm64_32"},
    ArchitectureEntry{cpuTypeArm, 0, "arm"},
    ArchitectureEntry{cpuTypeArm, 5, "armv4t"},
    ArchitectureEntry{cpuTypeArm, 6, "armv6"},
    ArchitectureEntry{cpuTypeArm, 7, "armv5"},
    ArchitectureEntry{cpuTypeArm, 8, "xscale"},
    ArchitectureEntry{cpuTypeArm, 9, "armv7"},
    ArchitectureEntry{cpuTypeArm, 10, "armv7f"},
    ArchitectureEntry{cpuTypeArm, 11, "armv7s"},
    ArchitectureEntry{cpuTypeArm, 12, "armv7k"},
    ArchitectureEntry{cpuTypeArm, 13, "armv8"},
    ArchitectureEntry{cpuTypeArm, 14, "armv6m"},
    ArchitectureEntry{cpuTypeArm, 15, "armv7m"},
    ArchitectureEntry{cpuTypeArm, 16, "armv7em"},
    ArchitectureEntry{cpuTypePowerPC, 0, "ppc"},
    ArchitectureEntry{cpuTypePowerPC, 1, "ppc601"},
    ArchitectureEntry{cpuTypePowerPC, 3, "ppc603"},
    ArchitectureEntry{cpuTypePowerPC, 4, "ppc603e"},
    ArchitectureEntry{cpuTypePowerPC, 5, "ppc603ev"},
    ArchitectureEntry{cpuTypePowerPC, 6, "ppc604"},
    ArchitectureEntry{cpuTypePowerPC, 7, "ppc604e"},
    ArchitectureEntry{cpuTypePowerPC, 9, "ppc750"},
    ArchitectureEntry{cpuTypePowerPC, 10, "ppc7400"},
    ArchitectureEntry{cpuTypePowerPC, 11, "ppc7450"},
    ArchitectureEntry{cpuTypePowerPC, 100, "ppc970"},
    ArchitectureEntry{cpuTypePowerPC64, 0, "ppc64"},
    ArchitectureEntry{cpuTypePowerPC64, 100, "ppc970-64"},
    ArchitectureEntry{cpuTypeMc680x0, 1, "m68k"},
    ArchitectureEntry{cpuTypeMc680x0, 2, "m68040"},
    ArchitectureEntry{cpuTypeMc680x0, 3, "m68030"},
    ArchitectureEntry{cpuTypeMc88000, 0, "m88k"},
    ArchitectureEntry{cpuTypeHppa, 0, "hppa"},
    ArchitectureEntry{cpuTypeSparc, 0, "sparc"},
    ArchitectureEntry{cpuTypeI860, 0, "i860"},
};

} // namespace

std::string architectureName(int32_t cpuType, int32_t cpuSubtype) {
    const uint32_t subtype = static_cast<uint32_t>(cpuSubtype) & ~cpuSubtypeMask;
    for (const ArchitectureEntry& entry : architectures) {
        if (entry.cpuType == cpuType && entry.cpuSubtype == subtype) {
            return entry.name;
        }
    }
    return "unknown(" + std::to_string(cpuType) + "," + std::to_string(subtype) + ")";
}

} // namespace bw::macho
