#pragma once

#include <QWidget>

namespace bw::report {

// Shows the wide arrangement when its natural width fits, else the narrow one; chosen again on
// every resize.
class FittingStack : public QWidget {
public:
    FittingStack(QWidget* wide, QWidget* narrow, QWidget* parent = nullptr);

    QSize sizeHint() const override { return wide_->sizeHint(); }
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* chosen(int width) const;

    QWidget* wide_;
    QWidget* narrow_;
};

} // namespace bw::report
