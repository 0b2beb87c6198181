#pragma once

#include <QPointer>
#include <QWidget>
#include <vector>

namespace bw::report {

// Parts placed one under another across the whole width, each exactly as high as it asks to be
// at that width; a hidden part takes no room. No spare or missing room is ever shared out among
// the parts, so while a change below settles, a part above keeps its height and place. A picture
// of content that left (design::playExit) keeps its room until it has faded.
class ColumnStack : public QWidget {
public:
    explicit ColumnStack(QWidget* parent = nullptr);

    // Puts `part` at `index` among the parts (at the end when out of range).
    void insert(int index, QWidget* part);
    int indexOf(const QWidget* part) const;
    // Places the parts again now, and has the holder follow at once: left to the event loop,
    // each level would follow a pass after the one inside it, and a frame drawn in between would
    // show new content at an old size.
    void relayout();

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void place();
    // The width the widest shown part gives as its `hint`.
    int widestShown(QSize (QWidget::*hint)() const) const;

    std::vector<QPointer<QWidget>> parts_;
};

} // namespace bw::report
