#pragma once

#include "model/BuildMetadata.h"

#include <QWidget>

namespace bw {

// The reviewed app's icon from its stored PNG, or a dark tile with the name's first letter or
// digit when there is no usable image; square, with continuous corners.
class ReportAppIcon : public QWidget {
public:
    ReportAppIcon(const BuildMetadata& metadata, int size, QWidget* parent = nullptr);

    void setMetadata(const BuildMetadata& metadata);
    // The letter shown on the placeholder tile.
    QString initial() const;
    bool showsImage() const { return !image_.isNull(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString appName_;
    QImage image_;
    int size_;
};

} // namespace bw
