#pragma once

#include <QWidget>

namespace bw::report {

// One numbered step of a guided fix: a round badge with the number, the title and the
// instruction.
class FindingResolutionStep : public QWidget {
public:
    FindingResolutionStep(const QString& number, const QString& title, const QString& text,
                          QWidget* parent = nullptr);
};

} // namespace bw::report
