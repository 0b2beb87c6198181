#include "ui/workspace/ReviewScreensSection.h"

#include "app/AppModel.h"
#include "model/RawValue.h"
#include "ui/design/BareScrollArea.h"
#include "ui/design/BlockLayout.h"
#include "ui/design/CollapsingBox.h"
#include "ui/design/Labels.h"
#include "ui/design/Palette.h"
#include "ui/design/Symbols.h"
#include "ui/design/TextBlock.h"
#include "ui/design/TextStyle.h"
#include "ui/workspace/AppStoreImagesControl.h"
#include "ui/workspace/FileChooser.h"
#include "ui/workspace/FlatIconButton.h"
#include "ui/workspace/IPhoneReviewSlot.h"
#include "ui/workspace/ReviewAreaText.h"
#include "ui/workspace/ScrollEdgeFade.h"
#include "ui/workspace/SlotRow.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>

namespace bw::workspace {

namespace {

// Every motion of this kind is skipped under reduce motion.
const design::MotionKind reviewScreensSectionMotion = design::MotionKind::skipping();

namespace palette = design::palette;

constexpr int headerSpacing = 12;
constexpr int controlsSpacing = 10;

const QString helpText = QStringLiteral(
    "Enable this only when every added image is intended for the public App Store product page "
    "and matches the final listing. Leave it off for private review evidence such as paywall, "
    "sign in, permissions, restore purchases, account deletion, or any screen supplied only to "
    "help App Review understand the app.");

design::SymbolWidget* symbol(const QString& name, qreal pointSize, QFont::Weight weight,
                             const QColor& color, QWidget* parent) {
    auto* widget = new design::SymbolWidget(name, pointSize, weight, parent);
    widget->setColor(color);
    return widget;
}

// The explanation's accent bar: 2 wide, as tall as the row.
class AccentBar : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), palette::accent()); }
};

// The explanation and the import message come and go with a short ease-out.
design::Motion changeMotion() {
    return reviewScreensSectionMotion.easeOut(0.16);
}

// A block of the column that comes and goes, as tall as it is open, never stretched by the
// column's spare room.
design::CollapsingBox* makeBox(QWidget* content, design::CollapsingLayout layout, QWidget* parent) {
    auto* box = new design::CollapsingBox(content, layout, parent);
    QSizePolicy policy = box->sizePolicy();
    policy.setVerticalPolicy(QSizePolicy::Fixed);
    box->setSizePolicy(policy);
    return box;
}

} // namespace

ReviewScreensSection::ReviewScreensSection(AppModel& model, QWidget* parent)
    : QWidget(parent), model_(model) {
    column_ = new QVBoxLayout(this);
    column_->setContentsMargins(0, 0, 0, 0);
    column_->setSpacing(0);
    column_->addWidget(makeHeader());
    // The explanation slides down from under the header as its room opens.
    helpBox_ = makeBox(makeHelpPanel(), {.withRoom = 1, .hintsAtOwnWidth = true}, this);
    column_->addWidget(helpBox_);

    slotRow_ = new SlotRow;
    slotScroll_ = design::bareScrollArea();
    design::setBareContent(*slotScroll_, slotRow_);
    slotFade_ = new ScrollEdgeFade(slotScroll_, Qt::Horizontal);
    auto* slotPadding = new QWidget(this);
    slotPaddingLayout_ = new QVBoxLayout(slotPadding);
    slotPaddingLayout_->setSpacing(0);
    slotPaddingLayout_->addWidget(slotScroll_);
    column_->addWidget(slotPadding);
    importMessageBox_ =
        makeBox(makeImportMessage(), {.withRoom = 0.5, .hintsAtOwnWidth = true}, this);

    for (auto* slot : slotRow_->reviewSlots()) {
        const ScreenshotPrompt prompt = slot->prompt();
        slot->setUsableFiles(&AppModel::takesScreenshot);
        connect(slot, &IPhoneReviewSlot::chooseRequested, this,
                [this, prompt] { chooseScreenshot(prompt); });
        connect(slot, &IPhoneReviewSlot::removeRequested, this,
                [this, prompt] { model_.removeScreenshot(prompt); });
        connect(slot, &IPhoneReviewSlot::fileDropped, this,
                [this, prompt](const QString& path) { model_.setScreenshot(path, prompt); });
    }
    connect(&model_, &AppModel::screenshotSlotsChanged, this, &ReviewScreensSection::followModel);
    connect(&model_, &AppModel::scanPhaseChanged, this, &ReviewScreensSection::followModel);
    connect(&model_, &AppModel::screenshotsAreStoreListingChanged, this,
            &ReviewScreensSection::followModel);
    connect(&model_, &AppModel::importMessageChanged, this, &ReviewScreensSection::followModel);
    setLayoutMetrics(false, 188, 0);
    followModel();
}

QWidget* ReviewScreensSection::makeHeader() {
    auto* header = new QWidget(this);
    titleBlock_ = new QWidget(header);
    auto* titleLayout = new QVBoxLayout(titleBlock_);
    titleLayout->setContentsMargins(0, 0, 0, 0);
    titleLayout->setSpacing(4);
    titleLayout->addWidget(design::makeLabel(QStringLiteral("Add review screens"),
                                             design::TextStyle::sectionTitle,
                                             palette::textPrimary(), titleBlock_));
    auto* subtitle =
        design::makeLabel(QStringLiteral("Optional. Add only screens that exist in this "
                                         "app. Drop an image onto a device or click to "
                                         "choose."),
                          design::TextStyle::subtitle, palette::textSecondary(), titleBlock_);
    subtitle->setWordWrap(true);
    titleLayout->addWidget(subtitle);

    controls_ = new QWidget(header);
    auto* controlsLayout = new QHBoxLayout(controls_);
    controlsLayout->setContentsMargins(0, 0, 0, 0);
    controlsLayout->setSpacing(controlsSpacing);
    storeImages_ = new AppStoreImagesControl(
        QStringLiteral("App Store images"), [this] { return model_.screenshotsAreStoreListing(); },
        [this](bool on) { model_.setScreenshotsAreStoreListing(on); }, controls_);
    auto* info =
        new FlatIconButton(QStringLiteral("info.circle"), QStringLiteral("About App Store images"),
                           QStringLiteral("What App Store images means"), controls_);
    connect(info, &QAbstractButton::clicked, this, &ReviewScreensSection::toggleStoreImageHelp);
    controlsLayout->addWidget(storeImages_);
    controlsLayout->addWidget(info);

    headerLayout_ = new QBoxLayout(QBoxLayout::LeftToRight, header);
    headerLayout_->setContentsMargins(0, 0, 0, 0);
    headerLayout_->setSpacing(headerSpacing);
    headerLayout_->addWidget(titleBlock_, 1, Qt::AlignTop);
    headerLayout_->addWidget(controls_, 0, Qt::AlignTop | Qt::AlignLeft);
    return header;
}

QWidget* ReviewScreensSection::makeHelpPanel() {
    auto* helpPanel = new QWidget;
    auto* row = new QHBoxLayout(helpPanel);
    row->setContentsMargins(0, 16, 0, 2);
    row->setSpacing(10);
    auto* bar = new AccentBar(helpPanel);
    bar->setFixedWidth(2);
    auto* glyph = symbol(QStringLiteral("photo.on.rectangle.angled"), 12, QFont::DemiBold,
                         palette::textSecondary(), helpPanel);
    glyph->setContentsMargins(0, 1, 0, 0);
    auto* text = design::makeLabel(helpText, design::TextStyle::subtitle, palette::textSecondary(),
                                   helpPanel);
    text->setWordWrap(true);
    row->addWidget(bar);
    row->addWidget(glyph, 0, Qt::AlignTop);
    row->addWidget(text, 1);
    return helpPanel;
}

QWidget* ReviewScreensSection::makeImportMessage() {
    QBoxLayout* row = design::blockLayout(QBoxLayout::LeftToRight, 4);
    QWidget* importMessage = row->parentWidget();
    row->addStretch();
    row->addWidget(symbol(QStringLiteral("exclamationmark.circle.fill"), 11, QFont::Medium,
                          palette::danger(), importMessage),
                   0, Qt::AlignTop);
    // A failure naming a long path wraps rather than widening the screen.
    importMessageText_ = new design::TextBlock(design::TextBlock::Lines::asNeeded,
                                               design::textStyleFont(design::TextStyle::label),
                                               palette::danger(), importMessage);
    row->addWidget(importMessageText_);
    row->addStretch();
    return importMessage;
}

void ReviewScreensSection::setLayoutMetrics(bool isCompact, double slotWidth, double rowWidth) {
    slotRow_->setMetrics(int(std::lround(slotWidth)), int(std::lround(std::max(rowWidth, 0.0))));
    slotScroll_->setFixedHeight(slotRow_->minimumHeight());
    // The room under the row is the screen's, which places what follows it.
    slotPaddingLayout_->setContentsMargins(0, isCompact ? 30 : 38, 0, 0);
}

IPhoneReviewSlot* ReviewScreensSection::slot(ScreenshotPrompt prompt) const {
    return slotRow_->slot(prompt);
}

bool ReviewScreensSection::isStoreImageHelpPresented() const {
    return helpBox_->isOpen();
}

bool ReviewScreensSection::isHeaderStacked() const {
    return headerLayout_->direction() == QBoxLayout::TopToBottom;
}

void ReviewScreensSection::chooseScreenshot(ScreenshotPrompt prompt) {
    if (!chooser_) {
        return;
    }
    const FileChoice choice{QStringLiteral("Choose the ") + shortTitle(prompt).toLower() +
                                QStringLiteral(" screen"),
                            {QStringLiteral("Images (*.png *.jpg *.jpeg *.heic)")},
                            {}};
    if (const auto path = chooser_->chooseFile(this, choice)) {
        model_.setScreenshot(*path, prompt);
    }
}

void ReviewScreensSection::toggleStoreImageHelp() {
    helpBox_->setOpen(!helpBox_->isOpen(), changeMotion());
}

void ReviewScreensSection::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    updateHeaderArrangement();
}

// The title and the controls share a row when both fit at their natural widths (the subtitle
// unwrapped); otherwise the controls go under the title.
void ReviewScreensSection::updateHeaderArrangement() {
    int titleWidth = 0;
    for (const auto* label : titleBlock_->findChildren<QLabel*>()) {
        titleWidth = std::max(titleWidth, label->fontMetrics().horizontalAdvance(label->text()));
    }
    const bool fits = titleWidth + headerSpacing + controls_->sizeHint().width() <= width();
    headerLayout_->setDirection(fits ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom);
}

void ReviewScreensSection::followModel() {
    const bool busy = model_.scanPhase().isBusy();
    const auto& files = model_.screenshotSlots();
    for (auto* slot : slotRow_->reviewSlots()) {
        const auto found = files.find(slot->prompt());
        slot->setUrl(found != files.end() ? std::optional(found->second) : std::nullopt);
        slot->setInputDisabled(busy);
    }
    storeImages_->setEnabled(!busy);
    storeImages_->refresh();
    // A message that goes keeps its text while it fades out.
    const auto& message = model_.importMessage();
    if (message) {
        importMessageText_->setText(*message);
    }
    importMessageBox_->setOpen(message.has_value(), changeMotion());
}

} // namespace bw::workspace
