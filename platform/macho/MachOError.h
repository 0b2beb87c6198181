#pragma once

#include <string>

namespace bw::macho {

// Why a file could not be read as Mach-O. Errors are values here, not exceptions: the reader
// runs on untrusted bytes and every caller must look at the outcome.
struct MachOError {
    enum class Kind {
        unreadable,    // the file could not be opened or mapped; `detail` is the system's message
        notObjectFile, // no Mach-O or universal magic
        truncated,     // a structure extends past the end of the bytes that should hold it
        malformed,     // fields that contradict each other or the format
    };

    Kind kind = Kind::malformed;
    std::string detail;

    // The text the tools print after the file name.
    std::string description() const;

    bool operator==(const MachOError&) const = default;
};

MachOError truncated(std::string detail);
MachOError malformed(std::string detail);

} // namespace bw::macho
