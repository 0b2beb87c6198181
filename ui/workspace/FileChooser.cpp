#include "ui/workspace/FileChooser.h"

#include <QFileDialog>
#include <QFileInfo>

namespace bw::workspace {

namespace {

// A file dialog that also takes a bundle folder (an .app, an .xcarchive) as one item.
class BundleFileDialog : public QFileDialog {
public:
    BundleFileDialog(QWidget* parent, const FileChoice& choice)
        : QFileDialog(parent, choice.message), bundleExtensions_(choice.bundleExtensions) {
        setOption(QFileDialog::DontUseNativeDialog);
        setFileMode(QFileDialog::ExistingFile);
        setNameFilters(choice.nameFilters);
        connect(this, &QFileDialog::directoryEntered, this, [this](const QString& folder) {
            if (isBundle(folder)) {
                choose(folder);
            }
        });
    }

    std::optional<QString> chosen() const { return chosen_; }

    void accept() override {
        const QStringList selected = selectedFiles();
        if (selected.size() == 1 && isBundle(selected.front())) {
            return choose(selected.front());
        }
        QFileDialog::accept(); // a file is taken, an ordinary folder entered
        if (result() == QDialog::Accepted && !selected.isEmpty()) {
            chosen_ = selected.front();
        }
    }

private:
    bool isBundle(const QString& path) const {
        const QFileInfo info(path);
        return info.isDir() && bundleExtensions_.contains(info.suffix(), Qt::CaseInsensitive);
    }

    void choose(const QString& path) {
        chosen_ = QFileInfo(path).absoluteFilePath();
        QDialog::accept();
    }

    QStringList bundleExtensions_;
    std::optional<QString> chosen_;
};

} // namespace

std::optional<QString> DialogFileChooser::chooseFile(QWidget* parent, const FileChoice& choice) {
    BundleFileDialog dialog(parent, choice);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.chosen();
}

} // namespace bw::workspace
