// nm stand-in: only `nm -u FILE`.
#include "platform/tools/lifeline/ParentLifeline.h"
#include "platform/tools/listing/Listings.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    bw::tools::endWithParent();
    if (argc != 3 || std::string(argv[1]) != "-u") {
        std::fputs("usage: nm -u <input file>\n", stderr);
        return 1;
    }
    const std::string path = argv[2];
    const bw::macho::Result<bw::macho::OpenedMachOFile> opened = bw::macho::openMachOFile(path);
    if (!opened) {
        std::fprintf(stderr, "nm: %s: %s\n", path.c_str(), opened.error().description().c_str());
        return 1;
    }
    const bw::macho::Result<std::string> text =
        bw::tools::undefinedSymbolListing(path, opened->file);
    if (!text) {
        std::fprintf(stderr, "nm: %s: %s\n", path.c_str(), text.error().description().c_str());
        return 1;
    }
    std::fwrite(text->data(), 1, text->size(), stdout);
    return 0;
}
