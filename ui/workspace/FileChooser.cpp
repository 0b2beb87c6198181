#include "ui/workspace/FileChooser.h"

#include <QFileDialog>

namespace bw::workspace {

std::optional<QString> DialogFileChooser::chooseFile(QWidget* parent, const FileChoice& choice) {
    QFileDialog dialog(parent, choice.message);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(choice.nameFilters);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}

} // namespace bw::workspace
