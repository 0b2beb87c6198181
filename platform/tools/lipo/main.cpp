// lipo stand-in: only `lipo -archs FILE`.
#include "platform/tools/lifeline/ParentLifeline.h"
#include "platform/tools/listing/Listings.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    bw::tools::endWithParent();
    if (argc != 3 || std::string(argv[1]) != "-archs") {
        std::fputs("usage: lipo -archs <input file>\n", stderr);
        return 1;
    }
    const std::string path = argv[2];
    const bw::macho::Result<bw::macho::OpenedMachOFile> opened = bw::macho::openMachOFile(path);
    if (!opened) {
        const bw::macho::MachOError& error = opened.error();
        if (error.kind == bw::macho::MachOError::Kind::unreadable) {
            std::fprintf(stderr, "lipo: can't open input file: %s (%s)\n", path.c_str(),
                         error.detail.c_str());
        } else if (error.kind == bw::macho::MachOError::Kind::notObjectFile) {
            std::fprintf(stderr, "lipo: can't figure out the architecture type of: %s\n",
                         path.c_str());
        } else {
            std::fprintf(stderr, "lipo: %s: %s\n", path.c_str(), error.description().c_str());
        }
        return 1;
    }
    const std::string text = bw::tools::architectureListing(opened->file);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
}
