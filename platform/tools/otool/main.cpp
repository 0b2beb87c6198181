// otool stand-in: only `otool -L FILE...`.
#include "platform/tools/lifeline/ParentLifeline.h"
#include "platform/tools/listing/Listings.h"

#include <cstdio>
#include <string>

namespace {

// Like Apple's otool, a file that is not Mach-O is reported on standard output.
bool listLibraries(const std::string& path) {
    const bw::macho::Result<bw::macho::OpenedMachOFile> opened = bw::macho::openMachOFile(path);
    if (!opened) {
        const bw::macho::MachOError& error = opened.error();
        if (error.kind == bw::macho::MachOError::Kind::unreadable) {
            std::fprintf(stderr, "otool: can't open file: %s (%s)\n", path.c_str(),
                         error.detail.c_str());
        } else if (error.kind == bw::macho::MachOError::Kind::notObjectFile) {
            std::fprintf(stdout, "%s: is not an object file\n", path.c_str());
        } else {
            std::fprintf(stderr, "otool: %s: %s\n", path.c_str(), error.description().c_str());
        }
        return false;
    }
    const std::string text = bw::tools::libraryListing(path, opened->file);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    bw::tools::endWithParent();
    if (argc < 3 || std::string(argv[1]) != "-L") {
        std::fputs("usage: otool -L <object file> ...\n", stderr);
        return 1;
    }
    bool allListed = true;
    for (int i = 2; i < argc; ++i) {
        allListed = listLibraries(argv[i]) && allListed;
    }
    return allListed ? 0 : 1;
}
