#pragma once

#include "model/ReportEnums.h"

#include <QWidget>
#include <optional>

class QLabel;

namespace bw::report {

// What the findings section shows when the chosen severity (or the whole report) has no
// findings: a green shield, a title and a message for the filter. At least 330 high, and half
// the visible height plus 24 in a tall window.
class EmptyFindingsView : public QWidget {
public:
    explicit EmptyFindingsView(QWidget* parent = nullptr);

    void setFilter(std::optional<FindingSeverity> filter);
    // The height of the area the section is seen through (the scroll area's viewport).
    void setContainerHeight(int height);

    QString title() const;
    QString message() const;

private:
    QLabel* title_;
    QLabel* message_;
};

} // namespace bw::report
