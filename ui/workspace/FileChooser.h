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

    // Runs modally over `requester`'s window; the chosen file's path, or absent when the user
    // cancelled. The caller hands the file on to what is current when the dialog closes:
    // `requester` may have been replaced meanwhile.
    virtual std::optional<QString> chooseFile(QWidget* requester, const FileChoice& choice) = 0;
};

// The application's chooser: a non-native QFileDialog, so it behaves the same on every desktop.
// It opens in the folder that holds the last pick. The requester and the screens holding it are
// not deleted while it runs.
class DialogFileChooser : public FileChooser {
public:
    std::optional<QString> chooseFile(QWidget* requester, const FileChoice& choice) override;
};

} // namespace bw::workspace
