#pragma once

#include "model/GuidelineReference.h"

#include <optional>

namespace bw::window {

// Whether the reference is of the category (any, without one) and holds the search text in its
// number, title, summary or category title, ignoring case but not accents. The text is trimmed.
bool matches(const GuidelineReference& reference, std::optional<FindingCategory> category,
             const QString& query);

// The guideline table's references that match, in table order.
std::vector<GuidelineReference> filteredGuidelines(std::optional<FindingCategory> category,
                                                   const QString& query);

// The categories the table uses, ordered by title.
std::vector<FindingCategory> guidelineCategories();

} // namespace bw::window
