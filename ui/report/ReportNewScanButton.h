#pragma once

#include "ui/design/HoverButton.h"
#include "ui/design/Motion.h"

#include <QAbstractButton>

namespace bw::report {

// The toolbar capsule "Scan another build".
class ReportNewScanButton : public design::HoverButton {
    Q_OBJECT
public:
    explicit ReportNewScanButton(QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
};

} // namespace bw::report
