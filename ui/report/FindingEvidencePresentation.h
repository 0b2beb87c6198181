#pragma once

#include "model/Finding.h"

namespace bw::report {

// A finding's evidence as labelled lines or, when no lines can be made, one plain note.
// Both may be empty: then there is nothing to show.
struct FindingEvidencePresentation {
    std::vector<FindingEvidenceField> fields;
    std::optional<QString> note;

    explicit FindingEvidencePresentation(const Finding& finding);
};

} // namespace bw::report
