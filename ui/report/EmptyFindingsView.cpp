#include "ui/report/EmptyFindingsView.h"

#include "ui/design/Labels.h"
#include "ui/design/Palette.h"
#include "ui/design/Symbols.h"
#include "ui/report/ReadingText.h"
#include "ui/report/ReportTexts.h"

#include <QVBoxLayout>

namespace bw::report {

namespace palette = design::palette;
using design::TextStyle;

namespace {

constexpr int messageWidth = 480;

// The message wraps at up to 480 points and asks for the height of that width; a wrapping label
// left to itself guesses a narrower width and is clipped below its first lines.
class MessageText : public QLabel {
public:
    MessageText() {
        setTextFormat(Qt::PlainText);
        setWordWrap(true);
        setAlignment(Qt::AlignHCenter);
        design::applyTextStyle(this, TextStyle::body);
        design::setTextColor(this, palette::textSecondary());
    }

    QSize sizeHint() const override {
        const int width = std::min(messageWidth, fontMetrics().horizontalAdvance(text()) + 1);
        return {width, heightForWidth(width)};
    }
    QSize minimumSizeHint() const override { return {0, 0}; }
    int heightForWidth(int width) const override {
        return QLabel::heightForWidth(std::min(width, messageWidth));
    }
};

} // namespace

EmptyFindingsView::EmptyFindingsView(QWidget* parent)
    : QWidget(parent),
      title_(design::makeLabel({}, TextStyle::screenTitle, palette::textPrimary())),
      message_(new MessageText) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 0, 24, 0);
    layout->setSpacing(12);
    layout->addStretch(1);
    auto* shield = new design::SymbolWidget(QStringLiteral("shield.fill"), 42, QFont::DemiBold);
    shield->setColor(palette::success());
    layout->addWidget(shield, 0, Qt::AlignHCenter);
    layout->addWidget(title_, 0, Qt::AlignHCenter);
    layout->addWidget(message_, 0, Qt::AlignHCenter);
    layout->addStretch(1);
    setMinimumHeight(330);
    setFilter(std::nullopt);
}

void EmptyFindingsView::setFilter(std::optional<FindingSeverity> filter) {
    title_->setText(report::emptyTitle(filter));
    message_->setText(report::emptyMessage(filter));
}

void EmptyFindingsView::setContainerHeight(int height) {
    setMinimumHeight(std::max(330, height / 2 + 24));
}

QString EmptyFindingsView::title() const {
    return title_->text();
}
QString EmptyFindingsView::message() const {
    return message_->text();
}

} // namespace bw::report
