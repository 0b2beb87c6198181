#pragma once

#include "ui/design/WindowDialog.h"

class QAbstractButton;
class QLabel;

namespace bw::design {

// What the application is: the brand's plane, its name, and its version with the build number.
// "OK" closes it, and so do Return and Escape. It opens over its parent's window with the keyboard
// focus on "OK", and deletes itself once closed.
class AboutDialog : public WindowDialog {
    Q_OBJECT

public:
    // `versionText` as shown, "Version 1.0.0 (42)".
    AboutDialog(const QString& name, const QString& versionText, QWidget* parent);

    QLabel* nameLabel() const { return name_; }
    QLabel* versionLabel() const { return version_; }
    QAbstractButton* closeButton() const { return close_; }

private:
    QLabel* name_;
    QLabel* version_;
    QAbstractButton* close_;
};

} // namespace bw::design
