// Feeds untrusted bytes to everything that reads the web service's answers: the success body of
// the build-evidence review, the error envelope and the character clipping of received text.
#include "services/backend/BuildReviewJson.h"
#include "services/backend/ErrorEnvelope.h"
#include "services/backend/FieldText.h"
#include "tests/fuzz/Fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        bw::decodeBuildAnalysisResponse(bw::json::JsonReader(bw::json::parseDocument(bytes)));
    } catch (const bw::json::DecodeError&) {
    }
    const bw::BackendError error = bw::backendErrorForStatus(409, bytes);
    (void)bw::clipped(error.description(), 7);
    (void)bw::sanitizedField(QString::fromUtf8(bytes), 5, QStringLiteral("Unavailable"));
    return 0;
}
