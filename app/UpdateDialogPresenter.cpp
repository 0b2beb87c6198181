#include "app/UpdateDialogPresenter.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QPushButton>

namespace bw {

UpdateDialogPresenter::UpdateDialogPresenter(QString currentVersion)
    : currentVersion_(std::move(currentVersion)) {}

void UpdateDialogPresenter::offerUpdate(const updater::AppcastItem& item) {
    const QString version = item.shortVersion.isEmpty() ? item.version : item.shortVersion;
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(QStringLiteral("Software Update"));
    box.setText(QStringLiteral("Berthwatch %1 is available.").arg(version));
    box.setInformativeText(
        QStringLiteral("You have version %1. Open the download page?").arg(currentVersion_));
    QPushButton* download = box.addButton(QStringLiteral("Download"), QMessageBox::AcceptRole);
    box.addButton(QStringLiteral("Later"), QMessageBox::RejectRole);
    box.setDefaultButton(download);
    box.exec();
    if (box.clickedButton() == download) {
        QDesktopServices::openUrl(item.downloadLink);
    }
}

void UpdateDialogPresenter::reportUpToDate() {
    QMessageBox::information(
        QApplication::activeWindow(), QStringLiteral("Software Update"),
        QStringLiteral("Berthwatch %1 is the newest version available.").arg(currentVersion_));
}

void UpdateDialogPresenter::reportFailure(const QString& message) {
    QMessageBox::warning(QApplication::activeWindow(), QStringLiteral("Software Update"),
                         QStringLiteral("The update check failed. %1").arg(message));
}

} // namespace bw
