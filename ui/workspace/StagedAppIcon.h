#pragma once

#include <QByteArray>
#include <QImage>
#include <QWidget>
#include <optional>

class QVariantAnimation;

namespace bw::workspace {

// The staged build's icon: the preview's image when it decodes, a small spinner while the
// preview is read, else the initials of the app's name; clipped to a rounded square.
class StagedAppIcon : public QWidget {
    Q_OBJECT

public:
    explicit StagedAppIcon(QWidget* parent = nullptr);

    void setIcon(const std::optional<QByteArray>& data, const QString& name, bool isLoading);
    void setSide(int side);

    bool showsImage() const { return !image_.isNull(); }
    bool showsSpinner() const { return !showsImage() && isLoading_; }
    QString initials() const;

    QSize sizeHint() const override { return {side_, side_}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paintSpinner(QPainter& painter, const QRectF& square) const;

    std::optional<QByteArray> data_;
    QImage image_;
    QString name_;
    bool isLoading_ = false;
    int side_ = 50;
    QVariantAnimation* spin_;
};

} // namespace bw::workspace
