#pragma once

#include <QObject>
#include <QVariant>

namespace bw::window {

// The sidebar width the user chose, persisted in QSettings under "Berthwatch.sidebar.width".
// Whatever the settings file holds (written from outside, damaged, not a number), the width
// handed out is finite; the sidebar is laid out within the bounds, while a drag or a step starts
// from the stored width itself. The stored value changes only when the user drags or adjusts the
// handle.
class SidebarWidth : public QObject {
    Q_OBJECT

public:
    static constexpr double minimum = 220;
    static constexpr double maximum = 280;
    static constexpr double fallback = 248;
    static constexpr const char* settingsKey = "Berthwatch.sidebar.width";

    explicit SidebarWidth(QObject* parent = nullptr);

    // The width as stored, which may lie outside the bounds: what a drag or a step starts from
    // and what is announced.
    double stored() const { return stored_; }
    // The width the sidebar is laid out at: the stored width brought within the bounds.
    double value() const;
    // Stores `width` at once, as given: each gesture applies the bounds its own way. A width
    // that is not a finite number changes nothing.
    void set(double width);

    // A stored value as a usable width: 248 unless it is a finite number.
    static double fromStored(const QVariant& stored);

signals:
    void changed(double width);

private:
    double stored_;
};

} // namespace bw::window
