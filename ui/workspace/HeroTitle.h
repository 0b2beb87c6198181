#pragma once

#include <QWidget>

namespace bw::workspace {

// The start screen's headline: centred, wrapped onto at most two lines and, when even two lines
// are too narrow, shrunk down to 0.88 of its size.
class HeroTitle : public QWidget {
    Q_OBJECT

public:
    explicit HeroTitle(const QString& text, QWidget* parent = nullptr);

    QString text() const { return text_; }
    // The font the headline takes at `width`.
    QFont fittedFont(int width) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
};

} // namespace bw::workspace
