#pragma once

#include "model/BuildMetadata.h"

#include <QPixmap>
#include <QWidget>

namespace bw::report {

// The rounded app icon of a saved report: its PNG when it decodes, else a tile with the app
// name's first letter ("#" without a name).
class ReportHistoryAppIcon : public QWidget {
    Q_OBJECT

public:
    ReportHistoryAppIcon(const BuildMetadata& metadata, int size, QWidget* parent = nullptr);

    // The decoded icon, or a null pixmap when there is none or it does not decode.
    static QPixmap decode(const BuildMetadata& metadata);
    static void paint(QPainter& painter, const QRectF& rect, const QPixmap& icon,
                      const QString& appName);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap icon_;
    QString appName_;
};

} // namespace bw::report
