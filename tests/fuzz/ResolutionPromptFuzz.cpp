// Untrusted texts from the build and the web service must stay inside the prompt's quoted data
// block: every line between the fixed header and the fixed tail starts with "> ".
#include "model/ResolutionGuidance.h"
#include "tests/fuzz/Fuzz.h"

#include <QStringList>
#include <algorithm>

using namespace bw;

namespace {

constexpr qsizetype headerLines = 18;
constexpr qsizetype tailLines = 9;

bool isOtherLineBreak(QChar c) {
    const char16_t u = c.unicode();
    return u == 0x0B || u == 0x0C || u == 0x0D || u == 0x85 || u == 0x2028 || u == 0x2029;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Fields separated by NUL bytes fill the finding's texts and the service's resolution.
    const QStringList parts =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size))
            .split(QChar(0));
    const auto part = [&](qsizetype i) { return i < parts.size() ? parts[i] : QString(); };
    Finding finding{part(0),
                    FindingSeverity::risk,
                    FindingCategory::privacy,
                    part(1),
                    part(2),
                    part(3),
                    part(4),
                    part(5),
                    std::vector<FindingEvidenceField>{{part(6), part(7)}},
                    part(8),
                    0.5,
                    EvidenceSource::build,
                    FindingResolution{
                        part(9), {{part(10), part(11)}, {part(12), part(13)}}, part(14), part(15)}};
    const BuildMetadata metadata{{part(16), part(17), part(18), part(19), part(20), part(21)},
                                 {part(22)},
                                 {part(23)},
                                 0,
                                 std::nullopt};

    const QString prompt = resolution_guidance::resolution(finding, metadata).solutionPrompt;
    const QStringList lines = prompt.split(u'\n');
    bw::fuzz::require(lines.size() >= headerLines + tailLines + 1);
    for (qsizetype i = headerLines; i < lines.size() - tailLines; ++i) {
        bw::fuzz::require(lines[i].startsWith(u"> ") &&
                          std::none_of(lines[i].begin(), lines[i].end(), isOtherLineBreak));
    }
    return 0;
}
