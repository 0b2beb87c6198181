#include "ui/report/ReportActionMenu.h"

#include "model/ReportHelpers.h"
#include "ui/design/BrandShapes.h"
#include "ui/design/Labels.h"
#include "ui/design/MenuEntry.h"
#include "ui/design/Palette.h"
#include "ui/design/TextStyle.h"
#include "ui/report/ReportHistoryRow.h"
#include "ui/report/ReportParts.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QVBoxLayout>

namespace bw::report {

namespace palette = design::palette;
using design::TextStyle;

ReportActionMenu::ReportActionMenu(const ScanReport& report, bool canRevealBuild, QWidget* parent)
    : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_DeleteOnClose);
    setAccessibleName(QStringLiteral("Report actions"));
    setFixedWidth(244);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(7, 7, 7, 7);
    column->setSpacing(0);

    auto* header = new QHBoxLayout;
    header->setContentsMargins(9, 8, 9, 8);
    header->setSpacing(10);
    auto* icon = new design::AppIconTile(historyIconStyle(), 30, this);
    icon->setIcon(design::decodeAppIcon(report.metadata.iconPNG),
                  monogram(report.metadata.appName));
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
    column->addLayout(header);

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
    auto* entry = new design::MenuEntry(title, symbol, destructive, 230, this);
    entry->setCursor(Qt::PointingHandCursor);
    entry->setEnabled(enabled);
    connect(entry, &QAbstractButton::clicked, this, [this, signal] {
        close();
        emit(this->*signal)();
    });
    layout()->addWidget(entry);
}

void ReportActionMenu::addSeparator() {
    auto* line = new QWidget(this);
    line->setFixedHeight(1);
    line->setAttribute(Qt::WA_StyledBackground);
    line->setStyleSheet(QStringLiteral("background: rgba(255, 255, 255, 19);"));
    auto* holder = new QVBoxLayout;
    holder->setContentsMargins(5, 5, 5, 5);
    holder->addWidget(line);
    static_cast<QVBoxLayout*>(layout())->addLayout(holder);
}

void ReportActionMenu::popup(const QRect& anchor) {
    adjustSize();
    QPoint position(anchor.right() + 4, anchor.center().y() - height() / 2);
    if (const QScreen* screen = QGuiApplication::screenAt(anchor.center())) {
        const QRect area = screen->availableGeometry();
        if (position.x() + width() > area.right()) {
            position.setX(anchor.left() - width() - 4);
        }
        position.setY(
            std::clamp(position.y(), area.top(), std::max(area.top(), area.bottom() - height())));
    }
    move(position);
    show();
}

void ReportActionMenu::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath shape =
        design::continuousRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 12);
    painter.fillPath(shape, palette::menuSurface());
    painter.setPen(QPen(palette::withOpacity(palette::hairline(), 0.8), 1));
    painter.drawPath(shape);
}

} // namespace bw::report
