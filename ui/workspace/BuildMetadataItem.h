#pragma once

#include <QWidget>

class QLabel;

namespace bw::workspace {

// One title/value cell of the staged build's metadata row. A value too long for the cell is
// elided in the middle; copying it still gives the whole value.
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
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void copyValue() const;

    QString value_;
    QLabel* titleLabel_;
    QLabel* valueLabel_;
};

} // namespace bw::workspace
