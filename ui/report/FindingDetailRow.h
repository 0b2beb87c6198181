#pragma once

#include "ui/design/TextStyle.h"

#include <QWidget>

namespace bw::report {

// A label in a 92-point column beside its value, which wraps and can be selected; shared by the
// evidence lines and the technical details.
class FindingDetailRow : public QWidget {
public:
    FindingDetailRow(const QString& label, const QString& value, design::TextStyle valueStyle,
                     QWidget* parent = nullptr);
};

// One line of a finding's technical details.
class FindingTechnicalDetail : public FindingDetailRow {
public:
    FindingTechnicalDetail(const QString& label, const QString& value, QWidget* parent = nullptr)
        : FindingDetailRow(label, value, design::TextStyle::monoCaption, parent) {}
};

} // namespace bw::report
