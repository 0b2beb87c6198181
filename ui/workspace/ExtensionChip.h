#pragma once

#include "ui/design/Motion.h"

#include <QWidget>

namespace bw::workspace {

// One accepted build kind on the drop zone (".ipa" with its symbol), in accent while a file is
// dragged over the window; the colours move with the drag's spring.
class ExtensionChip : public QWidget {
    Q_OBJECT

public:
    ExtensionChip(const QString& text, const QString& symbol, QWidget* parent = nullptr);

    void setEmphasized(bool emphasized);
    bool isEmphasized() const { return emphasized_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    QString symbol_;
    bool emphasized_ = false;
    design::AnimatedValue emphasis_{0.0};
};

} // namespace bw::workspace
