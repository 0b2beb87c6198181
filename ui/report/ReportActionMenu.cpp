#include "ui/report/ReportActionMenu.h"

#include "model/ReportHelpers.h"
#include "ui/design/Labels.h"
#include "ui/design/Palette.h"
#include "ui/design/TextStyle.h"
#include "ui/report/ReadingText.h"
#include "ui/report/ReportHistoryRow.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace bw::report {

namespace palette = design::palette;
using design::TextStyle;

namespace {

design::PopoverStyle menuStyle() {
    design::PopoverStyle style;
    style.border = palette::withOpacity(palette::hairline(), 0.8);
    style.borderInset = 0.5;
    style.arrowDepth = 9;
    style.seesThrough = true;
    style.separatorThickness = 0.5;
    return style;
}

} // namespace

ReportActionMenu::ReportActionMenu(const ScanReport& report, bool canRevealBuild, QWidget* parent)
    : design::Popover(menuStyle(), parent) {
    setAccessibleName(QStringLiteral("Report actions"));

    auto* header = new QHBoxLayout;
    header->setContentsMargins(9, 8, 9, 8);
    header->setSpacing(10);
    auto* icon = new design::AppIconTile(historyIconStyle(), 30, this);
    icon->setIcon(design::decodeAppIcon(report.metadata.iconPNG),
                  reportMonogram(report.metadata.appName));
    header->addWidget(icon);
    auto* names = new QVBoxLayout;
    names->setSpacing(2);
    // Long names and versions stay on one line, cut with an ellipsis.
    auto* name = new design::ElidedText(report.metadata.appName, TextStyle::bodyEmphasized,
                                        palette::textPrimary(), Qt::ElideRight, this);
    auto* version = new design::ElidedText(
        QStringLiteral("%1 (%2)").arg(report.metadata.version, report.metadata.buildNumber),
        TextStyle::monoCaption, palette::textTertiary(), Qt::ElideRight, this);
    for (design::ElidedText* label : {name, version}) {
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        names->addWidget(label);
    }
    header->addLayout(names, 1);
    column()->addLayout(header);

    addSeparator();
    addEntry(QStringLiteral("Open Report"), QStringLiteral("doc.text.magnifyingglass"), false,
             &ReportActionMenu::openRequested);
    addEntry(QStringLiteral("Reveal Build in File Manager"), QStringLiteral("folder"), false,
             &ReportActionMenu::revealBuildRequested, canRevealBuild);
    addEntry(QStringLiteral("Copy Bundle Identifier"), QStringLiteral("doc.on.doc"), false,
             &ReportActionMenu::copyBundleIDRequested);
    addSeparator();
    addEntry(QStringLiteral("Delete Report"), QStringLiteral("trash"), true,
             &ReportActionMenu::deleteRequested);
}

void ReportActionMenu::addEntry(const QString& title, const QString& symbol, bool destructive,
                                void (ReportActionMenu::*signal)(), bool enabled) {
    design::MenuEntry* entry = design::Popover::addEntry(title, symbol, destructive,
                                                         [this, signal] { emit(this->*signal)(); });
    entry->setCursor(Qt::PointingHandCursor);
    entry->setEnabled(enabled);
}

} // namespace bw::report
