#pragma once

#include <QObject>
#include <QVariant>

namespace bw::window {

// The sidebar width the user chose, persisted in QSettings under "Berthwatch.sidebar.width".
// Whatever the settings file holds (written from outside, damaged, not a number), the width
// handed out is finite and within the bounds; the stored value changes only when the user
// drags or adjusts the handle.
class SidebarWidth : public QObject {
    Q_OBJECT

public:
    static constexpr double minimum = 220;
    static constexpr double maximum = 280;
    static constexpr double fallback = 248;
    static constexpr const char* settingsKey = "Berthwatch.sidebar.width";

    explicit SidebarWidth(QObject* parent = nullptr);

    // The width to lay out, announce and adjust from.
    double value() const { return value_; }
    // Keeps `width` (brought within the bounds) and stores it at once.
    void set(double width);

    // A stored value as a usable width: 248 unless it is a finite number, then clamped.
    static double fromStored(const QVariant& stored);

signals:
    void changed(double width);

private:
    double value_;
};

} // namespace bw::window
