#include "ui/report/FindingEvidenceView.h"

#include "ui/design/Labels.h"
#include "ui/design/Palette.h"
#include "ui/report/FindingDetailRow.h"
#include "ui/report/LongText.h"

#include <QLabel>
#include <QVBoxLayout>

namespace bw::report {

FindingEvidenceView::FindingEvidenceView(const FindingEvidencePresentation& presentation,
                                         QWidget* parent)
    : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    if (presentation.fields.empty() && !presentation.note) {
        setVisible(false);
        return;
    }
    layout->addWidget(design::makeLabel(QStringLiteral("Evidence"), design::TextStyle::label,
                                        design::palette::textTertiary()));
    if (presentation.fields.empty()) {
        layout->setSpacing(5);
        layout->addWidget(new LongText(*presentation.note, design::TextStyle::body,
                                       design::palette::textSecondary(), 2));
        return;
    }
    layout->setSpacing(8);
    auto* lines = new QVBoxLayout;
    lines->setSpacing(7);
    for (const auto& field : presentation.fields) {
        lines->addWidget(
            new FindingDetailRow(field.label, field.value, design::TextStyle::monoLabel));
    }
    layout->addLayout(lines);
}

} // namespace bw::report
