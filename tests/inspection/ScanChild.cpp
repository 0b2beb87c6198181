// A program that scans one build and nothing else, for tests that kill a scan mid-way:
// "bw-test-scan-child TOOL_DIRECTORY ARTIFACT".

#include "inspection/BuildScanner.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: bw-test-scan-child TOOL_DIRECTORY ARTIFACT\n", stderr);
        return 2;
    }
    try {
        bw::BuildScanner(QString::fromLocal8Bit(argv[1]))
            .scan(QString::fromLocal8Bit(argv[2]), [](const QString&, double) {});
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
