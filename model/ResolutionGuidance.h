#pragma once

#include "model/BuildMetadata.h"
#include "model/Finding.h"

namespace bw::resolution_guidance {

// The guided resolution shown under a finding: the web service's summary, steps and verification
// where they are usable, fixed defaults otherwise, and a prompt rebuilt here from the finding (a
// prompt that came with the finding is never passed on).
FindingResolution resolution(const Finding& finding, const BuildMetadata& metadata);

// The service's steps, trimmed, without those whose title or instruction is blank; none unless
// two to four remain.
std::optional<std::vector<ResolutionStep>>
validatedSteps(const std::optional<std::vector<ResolutionStep>>& steps);

ResolutionStep defaultPrimaryStep(const Finding& finding);
ResolutionStep defaultFollowUpStep(const Finding& finding);
QString defaultSummary(const Finding& finding);
QString defaultVerification(const Finding& finding);

} // namespace bw::resolution_guidance
