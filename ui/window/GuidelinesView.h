#pragma once

#include "model/ReportEnums.h"
#include "ui/window/UrlOpener.h"

#include <QWidget>
#include <optional>

class QScrollArea;

namespace bw::design {
class AnimatedValue;
struct Motion;
} // namespace bw::design

namespace bw::report {
class SearchField;
}

namespace bw::window {

class GuidelineCategoryChip;
class GuidelineList;
class GuidelineRow;

// The App Review guideline references, narrowed by a search text and one category; a row opens
// its guideline's page. The search and the category are this screen's own and start afresh with
// every new screen.
class GuidelinesView : public QWidget {
    Q_OBJECT

public:
    // `open` shows a guideline's page; without one, the desktop's browser does.
    explicit GuidelinesView(UrlOpener open = {}, QWidget* parent = nullptr);

    void selectCategory(std::optional<FindingCategory> category);
    void clearFilters();

    report::SearchField* searchField() const { return search_; }
    // The chip of a category, "All" for none.
    GuidelineCategoryChip* chip(std::optional<FindingCategory> category) const;
    // The rows shown now, in table order.
    std::vector<GuidelineRow*> shownRows() const;
    GuidelineList* list() const { return list_; }
    QWidget* emptyState() const { return emptyState_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* makeHeader();
    QWidget* makeControls();
    GuidelineList* makeList();
    QWidget* makeEmptyState();
    void refresh(const design::Motion& motion);

    UrlOpener open_;
    std::optional<FindingCategory> selectedCategory_;

    QScrollArea* scroll_;
    QWidget* column_;
    report::SearchField* search_;
    std::vector<std::pair<std::optional<FindingCategory>, GuidelineCategoryChip*>> chips_;
    GuidelineList* list_;
    QWidget* emptyState_;
};

} // namespace bw::window
