#include "ui/report/ReportShareButton.h"

#include "app/AppModel.h"
#include "model/ReportMarkdown.h"
#include "ui/design/KeyboardFocus.h"
#include "ui/design/Palette.h"
#include "ui/design/Symbols.h"
#include "ui/report/Pasteboard.h"

#include <QFileDialog>
#include <QMenu>
#include <QPainter>

namespace bw::report {
namespace {

std::optional<QString> chooseMarkdownFile(QWidget* parent, const QString& suggestedName) {
    QFileDialog dialog(parent, QStringLiteral("Save Report"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(QStringLiteral("Markdown (*.md)"));
    dialog.setDefaultSuffix(QStringLiteral("md"));
    dialog.selectFile(suggestedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}

QIcon shareIcon() {
    QPixmap pixmap(QSize(32, 32));
    pixmap.setDevicePixelRatio(2);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    design::paintSymbol(painter, QRectF(0, 0, 16, 16), u"square.and.arrow.up", 13, QFont::Medium,
                        design::palette::textPrimary());
    return QIcon(pixmap);
}

} // namespace

ReportShareButton::ReportShareButton(AppModel& model, const Pasteboard& pasteboard,
                                     FileChooser chooser, QWidget* parent)
    : QToolButton(parent), model_(model), pasteboard_(pasteboard),
      chooser_(chooser ? std::move(chooser) : FileChooser(chooseMarkdownFile)) {
    setIcon(shareIcon());
    setToolTip(QStringLiteral("Share"));
    setAccessibleName(QStringLiteral("Share"));
    setPopupMode(QToolButton::InstantPopup);
    auto* menu = new QMenu(this);
    // Named, so that a screen reader says which menu its lit entry is in.
    menu->setAccessibleName(QStringLiteral("Share"));
    copy_ = menu->addAction(QStringLiteral("Copy"), this, &ReportShareButton::copyMarkdown);
    save_ = menu->addAction(QStringLiteral("Save As…"), this, &ReportShareButton::saveMarkdown);
    // Opened from the keyboard, the menu starts lit on its first entry, as the popovers do; a
    // click takes the button's ring away first and leaves the menu unlit.
    connect(menu, &QMenu::aboutToShow, this, [this, menu] {
        if (design::showsFocusRing(*this)) {
            menu->setActiveAction(copy_);
        }
    });
    setMenu(menu);
    setReport(std::nullopt);
}

void ReportShareButton::setReport(const std::optional<ScanReport>& report) {
    report_ = report;
    setEnabled(report_.has_value());
}

void ReportShareButton::copyMarkdown() {
    if (report_) {
        pasteboard_.copy(report_markdown::render(*report_));
    }
}

void ReportShareButton::saveMarkdown() {
    if (!report_) {
        return;
    }
    const auto path = chooser_(window(), report_->metadata.appName + QStringLiteral(".md"));
    if (path) {
        model_.exportReport(*report_, *path);
    }
}

} // namespace bw::report
