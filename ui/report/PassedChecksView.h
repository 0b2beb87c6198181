#pragma once

#include "ui/design/Motion.h"

#include <QWidget>
#include <vector>

namespace bw::report {

// One passed check with the category, guideline and source its wording implies.
class PassedCheckRow : public QWidget {
    Q_OBJECT

public:
    explicit PassedCheckRow(const QString& check, QWidget* parent = nullptr);

    bool isHovering() const { return hover_.target() > 0; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    design::AnimatedValue hover_{0.0};
};

// The report's passed checks, one row each with separators between them (identical texts are
// all shown), or "No passed checks recorded".
class PassedChecksView : public QWidget {
public:
    explicit PassedChecksView(QWidget* parent = nullptr);

    void setChecks(const std::vector<QString>& checks);

private:
    void clear();
};

} // namespace bw::report
