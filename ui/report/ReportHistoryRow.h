#pragma once

#include "model/ScanReport.h"
#include "ui/design/AppIconTile.h"
#include "ui/design/HoverButton.h"

#include <QDateTime>
#include <QPointer>

namespace bw::design {
class AnimatedValue;
}

namespace bw::report {

// The app icon tile of a saved report: a flat placeholder, a soft shadow below.
design::AppIconTileStyle historyIconStyle();

class ReportActionMenu;

// One saved report in the history list: icon, name, version, platform and bundle identifier, the
// verdict and when it was made. A click opens the report; a right click anywhere on the row opens
// the actions menu at the trailing chevron, which itself takes no clicks. Rows are reused as the
// list scrolls, so everything shown comes from setReport.
class ReportHistoryRow : public design::HoverButton {
    Q_OBJECT

public:
    explicit ReportHistoryRow(QWidget* parent = nullptr);

    // Below this width the row stacks its status under the build line.
    static constexpr int wideLayoutWidth = 595;

    void setReport(const ScanReport& report, const QDateTime& now);
    const ScanReport& report() const { return report_; }

    // The time made today, otherwise the abbreviated date, in the user's locale.
    static QString dateText(const QDateTime& createdAt, const QDateTime& now);
    // Whether the scanned build still exists where the report says it was.
    static bool canRevealBuild(const ScanReport& report);

    // The height of every row at `width`.
    static int rowHeight(int width);

    // The title line as it fits `width`: the name and the version, each elided as needed.
    struct TitleLine {
        QString name;
        QString version;
    };
    TitleLine titleLine(qreal width) const;

    // The trailing chevron's frame, which the actions menu hangs from.
    QRectF chevronRect() const;
    bool isActionMenuPresented() const { return !menu_.isNull(); }
    void presentActionMenu();

    QSize sizeHint() const override;

signals:
    void openRequested(const bw::ScanReport& report);
    void revealBuildRequested(const bw::ScanReport& report);
    void deleteRequested(const bw::ScanReport& report);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& position) const override;

private:
    void paintWide(QPainter& painter, const QRectF& content);
    void paintCompact(QPainter& painter, const QRectF& content);
    void paintBuildLine(QPainter& painter, const QRectF& line);
    void paintStatus(QPainter& painter, const QRectF& frame, Qt::Alignment alignment);
    void paintTitleLine(QPainter& painter, const QRectF& line);
    void copyBundleIdentifier();

    ScanReport report_;
    QString dateText_;
    QImage icon_;
    QPointer<ReportActionMenu> menu_;
};

} // namespace bw::report
