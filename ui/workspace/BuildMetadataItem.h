#pragma once

#include <QWidget>

class QLabel;

namespace bw::workspace {

// One title/value cell of the staged build's metadata row. The value is selectable text; one too
// long for the cell is elided in the middle, and a selection across the ellipsis copies the whole
// value.
class BuildMetadataItem : public QWidget {
    Q_OBJECT

public:
    BuildMetadataItem(const QString& title, const QString& value, bool monospaced,
                      QWidget* parent = nullptr);

    QString value() const { return value_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void copySelection() const;

    QString value_;
    QLabel* titleLabel_;
    QLabel* valueLabel_;
};

} // namespace bw::workspace
