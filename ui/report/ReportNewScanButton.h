#pragma once

#include "ui/design/Motion.h"

#include <QAbstractButton>

namespace bw {

// The toolbar capsule "Scan another build".
class ReportNewScanButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit ReportNewScanButton(QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    design::AnimatedValue hover_{0.0};
};

} // namespace bw
