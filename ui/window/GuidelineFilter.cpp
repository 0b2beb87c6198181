#include "ui/window/GuidelineFilter.h"

#include "model/ReportHelpers.h"

#include <algorithm>

namespace bw::window {

bool matches(const GuidelineReference& reference, std::optional<FindingCategory> category,
             const QString& query) {
    if (category && *category != reference.category) {
        return false;
    }
    const QString text = query.trimmed();
    if (text.isEmpty()) {
        return true;
    }
    const QString fields[] = {reference.id, reference.title, reference.summary,
                              title(reference.category)};
    return std::ranges::any_of(
        fields, [&](const QString& field) { return field.contains(text, Qt::CaseInsensitive); });
}

std::vector<GuidelineReference> filteredGuidelines(std::optional<FindingCategory> category,
                                                   const QString& query) {
    std::vector<GuidelineReference> result;
    std::ranges::copy_if(GuidelineReference::all(), std::back_inserter(result),
                         [&](const GuidelineReference& r) { return matches(r, category, query); });
    return result;
}

std::vector<FindingCategory> guidelineCategories() {
    std::vector<FindingCategory> categories;
    for (const GuidelineReference& reference : GuidelineReference::all()) {
        if (std::ranges::find(categories, reference.category) == categories.end()) {
            categories.push_back(reference.category);
        }
    }
    std::ranges::stable_sort(
        categories, [](FindingCategory a, FindingCategory b) { return title(a) < title(b); });
    return categories;
}

} // namespace bw::window
