#include "ui/report/FindingDetailRow.h"

#include "ui/design/Labels.h"
#include "ui/design/Palette.h"
#include "ui/report/LongText.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace bw::report {

namespace {

// `text` at the top of a column that starts `drop` points lower.
QLayout* loweredBy(QWidget* text, int drop) {
    auto* column = new QVBoxLayout;
    column->setContentsMargins(0, drop, 0, 0);
    column->addWidget(text, 0, Qt::AlignTop);
    return column;
}

} // namespace

FindingDetailRow::FindingDetailRow(const QString& label, const QString& value,
                                   design::TextStyle valueStyle, QWidget* parent)
    : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);
    auto* labelText = design::makeLabel(label, design::TextStyle::caption,
                                        design::palette::textTertiary(), design::Wrap::lines);
    design::alignText(labelText, Qt::AlignLeft | Qt::AlignTop);
    labelText->setFixedWidth(92);
    // A detected value may be a tool's whole output.
    auto* valueText = new LongText(value, valueStyle, design::palette::textSecondary(), 0);
    // Both texts stand on one first baseline: the one whose face rises less starts lower. Each
    // is drawn on the whole pixel nearest its ascent, so the whole ascents are compared.
    const int drop =
        QFontMetrics(valueText->font()).ascent() - QFontMetrics(labelText->font()).ascent();
    layout->addLayout(loweredBy(labelText, std::max(drop, 0)));
    layout->addLayout(loweredBy(valueText, std::max(-drop, 0)), 1);
}

} // namespace bw::report
