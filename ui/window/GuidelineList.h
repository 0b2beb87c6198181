#pragma once

#include <QWidget>
#include <vector>

namespace bw::design {
class AnimatedValue;
struct Motion;
} // namespace bw::design

namespace bw::window {

class GuidelineRow;

// The guideline rows in table order, a hairline between each two that are shown. When the shown
// rows change, the leaving ones fade out where they are, the coming ones fade in where they land
// and the staying ones slide to their new places, all in one motion (at once when it is instant).
class GuidelineList : public QWidget {
    Q_OBJECT

public:
    explicit GuidelineList(QWidget* parent = nullptr);

    // The list takes the row; a new row is shown.
    void addRow(GuidelineRow* row);
    // One flag per row, in the order the rows were added.
    void showRows(const std::vector<bool>& shown, const design::Motion& motion);
    std::vector<GuidelineRow*> shownRows() const;
    bool isAnimating() const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // Where a row is drawn: its top, its opacity and that of the hairline below it.
    struct Place {
        qreal top = 0;
        qreal opacity = 1;
        qreal divider = 0;
    };
    struct Item {
        GuidelineRow* row;
        bool shown = true;
        Place from;
        Place to;
    };

    // The places of the shown rows, stacked from the top at `width`, and their total height.
    qreal stack(int width, std::vector<Place>& places) const;
    Place current(const Item& item) const;
    void retarget();
    void place();

    std::vector<Item> items_;
    qreal fromHeight_ = 0;
    qreal toHeight_ = 0;
    design::AnimatedValue* progress_;
};

} // namespace bw::window
