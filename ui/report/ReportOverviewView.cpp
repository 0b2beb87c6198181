#include "ui/report/ReportOverviewView.h"

#include "model/ReportHelpers.h"
#include "ui/design/Accessibility.h"
#include "ui/design/AppIconTile.h"
#include "ui/design/BlockLayout.h"
#include "ui/design/Formatters.h"
#include "ui/design/Labels.h"
#include "ui/design/Leading.h"
#include "ui/design/Palette.h"
#include "ui/design/Symbols.h"
#include "ui/design/TextBlock.h"
#include "ui/design/TextStyle.h"
#include "ui/report/FittingStack.h"
#include "ui/report/ReadingText.h"
#include "ui/report/ReportCompletionRoute.h"
#include "ui/report/ReportTexts.h"

#include <QGraphicsDropShadowEffect>
#include <QHBoxLayout>
#include <QPainter>
#include <QStyle>
#include <QVBoxLayout>

namespace bw::report {
namespace {

namespace palette = design::palette;
using design::TextStyle;

QString versionText(const BuildMetadata& metadata) {
    return metadata.version + QStringLiteral(" (") + metadata.buildNumber + u')';
}

QString platformSymbol(const QString& platform) {
    if (platform == u"iOS") {
        return QStringLiteral("iphone");
    }
    if (platform == u"macOS") {
        return QStringLiteral("macbook");
    }
    if (platform == u"tvOS") {
        return QStringLiteral("appletv");
    }
    if (platform == u"watchOS") {
        return QStringLiteral("applewatch");
    }
    if (platform == u"visionOS") {
        return QStringLiteral("visionpro");
    }
    return QStringLiteral("app.fill");
}

QColor verdictTint(const ScanReport& report) {
    return report.verdict == Verdict::needsAttention ? palette::danger() : palette::success();
}

// The round verdict badge: a tinted disc with a thin ring and a white mark.
class VerdictBadge : public QWidget {
public:
    explicit VerdictBadge(const ScanReport& report)
        : tint_(verdictTint(report)),
          symbol_(report.verdict == Verdict::needsAttention ? QStringLiteral("exclamationmark")
                                                            : QStringLiteral("checkmark")) {
        // The headline beside it carries the verdict.
        design::hideFromAccessibility(*this);
        setFixedSize(30, 30);
        auto* shadow = new QGraphicsDropShadowEffect(this);
        shadow->setColor(palette::withOpacity(tint_, 0.2));
        shadow->setBlurRadius(10);
        shadow->setOffset(0, 2);
        setGraphicsEffect(shadow);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF disc(rect());
        QLinearGradient gradient(disc.topLeft(), disc.bottomRight());
        gradient.setColorAt(0, tint_);
        gradient.setColorAt(1, palette::withOpacity(tint_, 0.78));
        painter.setPen(Qt::NoPen);
        painter.setBrush(gradient);
        painter.drawEllipse(disc);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(palette::withOpacity(Qt::white, 0.2), 0.75));
        painter.drawEllipse(disc.adjusted(0.375, 0.375, -0.375, -0.375));
        design::paintSymbol(painter, disc, symbol_, 13, QFont::Bold,
                            palette::withOpacity(Qt::white, 0.96));
    }

private:
    QColor tint_;
    QString symbol_;
};

// One line that shrinks to 78 % of its size before it truncates.
class Headline : public QWidget {
public:
    explicit Headline(QString text) : text_(std::move(text)) {
        setAccessibleName(text_);
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    }

    QSize sizeHint() const override {
        const QFontMetrics metrics(design::textStyleFont(TextStyle::verdictTitle));
        return {metrics.horizontalAdvance(text_) + 1, metrics.height()};
    }
    QSize minimumSizeHint() const override { return {0, sizeHint().height()}; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        QFont font = design::textStyleFont(TextStyle::verdictTitle);
        const qreal natural = QFontMetricsF(font).horizontalAdvance(text_);
        if (natural > width()) {
            font.setPixelSize(
                std::max(int(font.pixelSize() * 0.78), int(font.pixelSize() * width() / natural)));
        }
        painter.setFont(font);
        painter.setPen(palette::textPrimary());
        design::drawText(painter, rect(), Qt::AlignLeft | Qt::AlignVCenter,
                         QFontMetrics(font).elidedText(text_, Qt::ElideRight, width()));
    }

private:
    QString text_;
};

// The next-step sentence on at most two lines, the second ending in an ellipsis when it goes on.
// Its natural width is the whole sentence on one line, so the wide verdict row is chosen only
// when the sentence fits beside the counts.
QWidget* nextStep(const ScanReport& report) {
    auto* text =
        new design::TextBlock(design::TextBlock::Lines::two, design::textStyleFont(TextStyle::lead),
                              palette::textSecondary());
    text->setText(report::nextStepText(report));
    return text;
}

// The reviewed app's icon, or a dark tile with the name's first letter or digit.
QWidget* appIcon(const BuildMetadata& metadata) {
    design::AppIconTileStyle style;
    style.placeholder = palette::iconPlaceholder();
    style.placeholderEnd = palette::iconBackdrop();
    style.glyphRole = TextStyle::sectionTitle;
    style.glyph = palette::iconGlyph();
    auto* icon = new design::AppIconTile(style, 46);
    icon->setIcon(design::decodeAppIcon(metadata.iconPNG), monogram(metadata.appName));
    icon->setAccessibleName(metadata.appName + QStringLiteral(" app icon"));
    auto* shadow = new QGraphicsDropShadowEffect(icon);
    shadow->setColor(palette::withOpacity(Qt::black, 0.12));
    shadow->setBlurRadius(18);
    shadow->setOffset(0, 4);
    icon->setGraphicsEffect(shadow);
    return icon;
}

// The bundle identifier, a dot and the platform with its version on one line within the width it
// is given: the identifier gives up its middle first, down to a letter either side, and only then
// does the version text end in an ellipsis. A box layout would take from both at once.
class IdentityLine : public QWidget {
public:
    explicit IdentityLine(const BuildMetadata& metadata)
        : bundle_(new design::ElidedText(metadata.bundleIdentifier, TextStyle::monoCaption,
                                         palette::textSecondary(), Qt::ElideMiddle, this)),
          dot_(new report::Dot(palette::withOpacity(palette::textTertiary(), 0.75), 3, this)),
          platform_(new design::ElidedText(
              platformDisplayName(metadata) + u' ' + versionText(metadata), TextStyle::caption,
              palette::textSecondary(), Qt::ElideRight, this)) {
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    }

    QSize sizeHint() const override {
        return {bundle_->sizeHint().width() + platform_->sizeHint().width() + fixedWidth(),
                lineHeight()};
    }
    QSize minimumSizeHint() const override {
        return {bundle_->minimumSizeHint().width() + platform_->minimumSizeHint().width() +
                    fixedWidth(),
                lineHeight()};
    }

protected:
    void resizeEvent(QResizeEvent*) override {
        const int room = width() - fixedWidth();
        const int platform =
            std::clamp(room - bundle_->minimumSizeHint().width(),
                       platform_->minimumSizeHint().width(), platform_->sizeHint().width());
        const int bundle = std::min(room - platform, bundle_->sizeHint().width());
        int left = 0;
        for (auto [part, partWidth] :
             {std::pair<QWidget*, int>{bundle_, bundle}, {dot_, dotSide}, {platform_, platform}}) {
            const int partHeight = part->sizeHint().expandedTo(part->minimumSize()).height();
            // Mirrored under a right-to-left layout, as a box layout would be.
            part->setGeometry(QStyle::visualRect(
                layoutDirection(), rect(),
                QRect(left, (height() - partHeight) / 2, std::max(0, partWidth), partHeight)));
            left += partWidth + spacing;
        }
    }

private:
    static constexpr int spacing = 7;
    static constexpr int dotSide = 3;

    static int fixedWidth() { return dotSide + 2 * spacing; }
    int lineHeight() const {
        return std::max(bundle_->sizeHint().height(), platform_->sizeHint().height());
    }

    design::ElidedText* bundle_;
    report::Dot* dot_;
    design::ElidedText* platform_;
};

QWidget* identity(const ScanReport& report) {
    const BuildMetadata& metadata = report.metadata;
    QBoxLayout* layout = design::blockLayout(QBoxLayout::LeftToRight, 13);
    layout->addWidget(appIcon(metadata));

    auto* names = new QVBoxLayout;
    names->setSpacing(4);
    names->addWidget(
        // One line: a name too long for the window ends in an ellipsis.
        new design::ElidedText(metadata.appName, TextStyle::sectionTitle, palette::textPrimary(),
                               Qt::ElideRight));
    names->addWidget(new IdentityLine(metadata));
    layout->addLayout(names, 1);
    return layout->parentWidget();
}

QWidget* identityArrangement(const ScanReport& report, bool wide) {
    QBoxLayout* layout = design::blockLayout(
        wide ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom, wide ? 13 : 14);
    layout->addWidget(identity(report), wide ? 1 : 0);
    if (wide) {
        // A spacer of at least 16, with the row's spacing on either side of it.
        layout->addSpacing(16 + 13);
    }
    auto* route = new ReportCompletionRoute;
    route->setReportID(report.id);
    layout->addWidget(route, 0, wide ? Qt::AlignVCenter : Qt::AlignLeft);
    return layout->parentWidget();
}

QWidget* verdict(const ScanReport& report) {
    QBoxLayout* layout = design::blockLayout(QBoxLayout::TopToBottom, 8);
    auto* top = new QHBoxLayout;
    top->setSpacing(10);
    top->addWidget(new VerdictBadge(report));
    top->addWidget(new Headline(report::headline(report)), 1);
    layout->addLayout(top);
    layout->addWidget(nextStep(report));
    return layout->parentWidget();
}

QWidget* countTiles(const ScanReport& report) {
    QBoxLayout* layout = design::blockLayout(QBoxLayout::LeftToRight, 26);
    layout->addWidget(new CompactReportMetric(blockerCount(report), QStringLiteral("Blockers"),
                                              palette::danger()));
    layout->addWidget(new CompactReportMetric(riskCount(report), QStringLiteral("Risks")));
    layout->addWidget(new CompactReportMetric(manualCount(report), QStringLiteral("Manual")));
    layout->addWidget(new CompactReportMetric(static_cast<qint64>(report.passedChecks.size()),
                                              QStringLiteral("Passed")));
    layout->parentWidget()->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return layout->parentWidget();
}

QWidget* verdictArrangement(const ScanReport& report, bool wide) {
    QBoxLayout* layout = design::blockLayout(
        wide ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom, wide ? 28 : 22);
    if (wide) {
        layout->addWidget(verdict(report), 1, Qt::AlignBottom);
        layout->addWidget(countTiles(report), 0, Qt::AlignBottom);
    } else {
        layout->addWidget(verdict(report));
        layout->addWidget(countTiles(report), 0, Qt::AlignLeft);
    }
    return layout->parentWidget();
}

QWidget* buildDetails(const ScanReport& report) {
    QBoxLayout* layout = design::blockLayout(QBoxLayout::TopToBottom, 5);
    auto* caption = design::makeLabel(QStringLiteral("Build details"), TextStyle::label,
                                      palette::textSecondary());
    caption->setContentsMargins(2, 0, 2, 0);
    layout->addWidget(caption);
    auto* tiles = new QHBoxLayout;
    tiles->setSpacing(8);
    for (auto& metric : ReportOverviewView::buildMetrics(report)) {
        tiles->addWidget(new BuildMetricView(std::move(metric)), 1);
    }
    layout->addLayout(tiles);
    return layout->parentWidget();
}

} // namespace

std::vector<BuildMetric> ReportOverviewView::buildMetrics(const ScanReport& report) {
    const BuildMetadata& metadata = report.metadata;
    const QString platform = platformDisplayName(metadata);
    QStringList architectures(metadata.architectures.begin(), metadata.architectures.end());
    return {
        {QStringLiteral("Platform"), platform, platformSymbol(platform)},
        {QStringLiteral("Version"), versionText(metadata), QStringLiteral("number")},
        {QStringLiteral("Minimum OS"), metadata.minimumOS, QStringLiteral("laptopcomputer")},
        {QStringLiteral("Architecture"),
         architectures.isEmpty() ? QStringLiteral("Unavailable") : architectures.join(u", "),
         QStringLiteral("cpu")},
        {QStringLiteral("Size"),
         design::fileByteCount(
             static_cast<std::uint64_t>(std::max<qint64>(0, metadata.bundleSize))),
         QStringLiteral("externaldrive")},
    };
}

ReportOverviewView::ReportOverviewView(const ScanReport& report, QWidget* parent)
    : QWidget(parent), identity_(new FittingStack(identityArrangement(report, true),
                                                  identityArrangement(report, false))),
      verdict_(
          new FittingStack(verdictArrangement(report, true), verdictArrangement(report, false))) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(24);
    layout->addWidget(identity_);
    layout->addWidget(verdict_);
    layout->addWidget(buildDetails(report));
}

} // namespace bw::report
