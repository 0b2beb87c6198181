#pragma once

#include <QString>
#include <optional>

namespace bw::report {

// What a passed check's wording implies: its category, guideline and where its evidence came
// from. The title is the check unchanged.
struct PassedCheckPresentation {
    QString title;
    QString category;
    std::optional<QString> guideline;
    QString source;

    explicit PassedCheckPresentation(const QString& check);
};

} // namespace bw::report
