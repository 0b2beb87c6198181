#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>

namespace bw::test {

// An X server of its own (Xvfb) for one test, ended with the object, and what a user does to the
// windows on it.
class VirtualDisplay {
public:
    VirtualDisplay();
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    // ":N"; empty when the server did not start.
    const QString& name() const { return name_; }
    // Whether a window of `program` (its class, as in WM_CLASS) is on the screen.
    bool showsWindow(const QByteArray& program) const;
    // Asks that window to close, as its close button does; false without one.
    bool closeWindow(const QByteArray& program) const;

    // A display name (":N") at which no X server answers, nor is about to.
    static QString unusedName();

private:
    QProcess server_;
    QString name_;
};

} // namespace bw::test
