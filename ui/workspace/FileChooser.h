#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace bw::workspace {

// What one open panel asks the user for.
struct FileChoice {
    QString message;         // shown as the panel's title
    QStringList nameFilters; // QFileDialog filters, e.g. "Images (*.png *.jpg)"
    // Folders with these extensions (lower case, no dot) are chosen as one item, not entered:
    // opening one, or trying to enter it, chooses it.
    QStringList bundleExtensions;
};

// The open panel behind every "choose a file" action, so that tests can answer it.
class FileChooser {
public:
    virtual ~FileChooser() = default;

    // Runs modally; the chosen file's path, or absent when the user cancelled.
    virtual std::optional<QString> chooseFile(QWidget* parent, const FileChoice& choice) = 0;
};

// The application's chooser: a non-native QFileDialog, so it behaves the same on every desktop.
class DialogFileChooser : public FileChooser {
public:
    std::optional<QString> chooseFile(QWidget* parent, const FileChoice& choice) override;
};

} // namespace bw::workspace
