#include "ui/report/FindingDetailRow.h"

#include "ui/design/Labels.h"
#include "ui/design/Palette.h"
#include "ui/report/ReadingText.h"

#include <QHBoxLayout>

namespace bw::report {

FindingDetailRow::FindingDetailRow(const QString& label, const QString& value,
                                   design::TextStyle valueStyle, QWidget* parent)
    : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);
    auto* labelText = design::makeLabel(label, design::TextStyle::caption,
                                        design::palette::textTertiary(), design::Wrap::lines);
    labelText->setFixedWidth(92);
    auto* valueText = new report::ReadingText(value, valueStyle, design::palette::textSecondary(),
                                              0, report::Selection::on);
    layout->addWidget(labelText, 0, Qt::AlignTop);
    layout->addWidget(valueText, 1, Qt::AlignTop);
}

} // namespace bw::report
