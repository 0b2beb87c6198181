#include "ui/design/AboutDialog.h"

#include "ui/design/BrandShapes.h"
#include "ui/design/DialogButton.h"
#include "ui/design/Labels.h"
#include "ui/design/Palette.h"
#include "ui/design/TextStyle.h"

#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace bw::design {

namespace {

constexpr int textWidth = 252;

// The plane on an icon tile.
class Mark : public QWidget {
public:
    explicit Mark(QWidget* parent) : QWidget(parent) { setFixedSize(64, 64); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(continuousRoundedRect(QRectF(rect()), 64 * 0.2237),
                         palette::tileSurface());
        paintPlane(painter, QRectF(11, 25, 42, 14), palette::accent());
    }
};

} // namespace

AboutDialog::AboutDialog(const QString& name, const QString& versionText, QWidget* parent)
    : WindowDialog(QStringLiteral("About ") + name, parent),
      name_(makeLabel(name, TextStyle::sectionTitle, palette::textPrimary(), this)),
      version_(makeLabel(versionText, TextStyle::body, palette::textSecondary(), this)),
      close_(new DialogButton(QStringLiteral("OK"), false, this)) {
    for (QLabel* text : {name_, version_}) {
        text->setFixedWidth(textWidth);
        text->setAlignment(Qt::AlignHCenter);
    }
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(24, 28, 24, 20);
    column->setSpacing(0);
    column->addWidget(new Mark(this), 0, Qt::AlignHCenter);
    column->addSpacing(14);
    column->addWidget(name_);
    column->addSpacing(4);
    column->addWidget(version_);
    column->addSpacing(22);
    column->addWidget(close_, 0, Qt::AlignHCenter);
    column->setSizeConstraint(QLayout::SetFixedSize);
    // Return closes it wherever the focus is, as "OK" does.
    setFirstButton(*close_, Accepted);
    connect(close_, &QAbstractButton::clicked, this, &QDialog::accept);
}

} // namespace bw::design
