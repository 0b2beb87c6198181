#pragma once

#include "platform/macho/MachOFile.h"

#include <string>

// The texts that our lipo, otool and nm stand-ins print for a parsed file, in the shape of
// Apple's tools. Universal files list every slice, whatever the host's architecture, so that
// the output is the same on every machine.
namespace bw::tools {

// `lipo -archs`: the slices' architecture names in file order, one space apart, one line.
std::string architectureListing(const macho::MachOFile& file);

// `otool -L`: per slice a heading with `path`, then one tab-indented line per dylib command.
std::string libraryListing(const std::string& path, const macho::MachOFile& file);

// `nm -u`: per slice (with a heading for universal files) the sorted undefined external names.
macho::Result<std::string> undefinedSymbolListing(const std::string& path,
                                                  const macho::MachOFile& file);

} // namespace bw::tools
