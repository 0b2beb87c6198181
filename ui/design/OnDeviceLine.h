#pragma once

#include <QWidget>

namespace bw::design {

// "Your build stays on this computer." with its laptop symbol, at the foot of the start, progress,
// staged build and report screens; one accessibility element.
class OnDeviceLine : public QWidget {
    Q_OBJECT

public:
    explicit OnDeviceLine(QWidget* parent = nullptr);
};

} // namespace bw::design
