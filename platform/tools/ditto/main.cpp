// Stand-in for the one invocation of ditto the build inspection makes: "ditto -x -k SRC DST",
// extracting the zip archive SRC into the folder DST.

#include "platform/tools/lifeline/ParentLifeline.h"
#include "platform/zip/ExtractionError.h"
#include "platform/zip/Extractor.h"

#include <cstdio>
#include <exception>
#include <string_view>
#include <thread>

int main(int argc, char** argv) {
    bw::tools::endWithParent();
    if (argc != 5 || std::string_view(argv[1]) != "-x" || std::string_view(argv[2]) != "-k") {
        std::fputs("usage: ditto -x -k SOURCE DESTINATION\n", stderr);
        return 1;
    }
    try {
        bw::zip::extractArchive(argv[3], argv[4], std::thread::hardware_concurrency());
    } catch (const bw::zip::ExtractionError& error) {
        std::fprintf(stderr, "ditto: %s\n", error.description().c_str());
        return 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "ditto: %s\n", error.what());
        return 1;
    }
    return 0;
}
