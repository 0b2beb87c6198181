#pragma once

#include "ui/report/FindingEvidencePresentation.h"

#include <QWidget>

namespace bw::report {

// The "Evidence" block: labelled lines, else a note, else nothing (hidden, taking no space).
class FindingEvidenceView : public QWidget {
public:
    explicit FindingEvidenceView(const FindingEvidencePresentation& presentation,
                                 QWidget* parent = nullptr);
};

} // namespace bw::report
