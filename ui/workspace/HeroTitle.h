#pragma once

#include <QFont>
#include <QWidget>
#include <optional>
#include <utility>

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
    // The last width fitted and its font: layouts ask for the same width many times, and each
    // fit lays the text out at every size it tries.
    mutable std::optional<std::pair<int, QFont>> fitted_;
};

} // namespace bw::workspace
