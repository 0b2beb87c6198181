#include "ui/report/FindingResolutionStep.h"

#include "ui/design/Labels.h"
#include "ui/design/Leading.h"
#include "ui/design/Palette.h"
#include "ui/report/ReadingText.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace bw::report {
namespace {

constexpr qreal badgeFillOpacity = 0.055; // white behind a step's number

class NumberBadge : public QWidget {
public:
    explicit NumberBadge(QString number) : number_(std::move(number)) {
        setFixedSize(24, 24);
        setObjectName(QStringLiteral("stepNumber"));
        setAccessibleName(number_);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(design::palette::withOpacity(Qt::white, badgeFillOpacity));
        painter.drawEllipse(QRectF(rect()));
        painter.setFont(design::textStyleFont(design::TextStyle::label));
        painter.setPen(design::palette::textSecondary());
        design::drawText(painter, rect(), Qt::AlignCenter, number_);
    }

private:
    QString number_;
};

} // namespace

FindingResolutionStep::FindingResolutionStep(const QString& number, const QString& title,
                                             const QString& text, QWidget* parent)
    : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);
    layout->addWidget(new NumberBadge(number), 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(5);
    texts->addWidget(design::makeLabel(title, design::TextStyle::bodyEmphasized,
                                       design::palette::textPrimary(), design::Wrap::lines));
    texts->addWidget(new report::ReadingText(
        text, design::TextStyle::body, design::palette::textSecondary(), 2, report::Selection::on));
    layout->addLayout(texts, 1);
}

} // namespace bw::report
