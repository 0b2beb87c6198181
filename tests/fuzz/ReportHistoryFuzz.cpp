// A history file is whatever is on the user's disk: classifying it must never crash or throw.
#include "model/ReportHistoryCoding.h"
#include "tests/fuzz/Fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const bw::DecodedHistory history =
        bw::decodeHistory(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (history.state == bw::DecodedHistory::State::decoded) {
        // What decodes must encode again and read back the same.
        const bw::DecodedHistory again = bw::decodeHistory(bw::encodeHistory(history.reports));
        bw::fuzz::require(again.state == bw::DecodedHistory::State::decoded &&
                          again.reports == history.reports);
    }
    return 0;
}
