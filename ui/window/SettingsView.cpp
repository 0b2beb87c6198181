#include "ui/window/SettingsView.h"

#include "app/AppModel.h"
#include "app/UpdateController.h"
#include "services/info/ApplicationInfo.h"
#include "ui/design/BareScrollArea.h"
#include "ui/design/ConfirmationDialog.h"
#include "ui/design/Entrance.h"
#include "ui/design/KeyboardFocus.h"
#include "ui/design/Labels.h"
#include "ui/design/ListScreen.h"
#include "ui/design/Motion.h"
#include "ui/design/Palette.h"
#include "ui/design/TextStyle.h"
#include "ui/window/ApplicationTexts.h"
#include "ui/window/SettingsBlocks.h"

#include <QDir>
#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

namespace bw::window {

namespace palette = design::palette;
using design::TextStyle;

namespace {

const QMargins columnMargins(34, 30, 34, 42);
const QUrl supportURL(QStringLiteral("mailto:support@berthwatch.app"));
const QUrl privacyURL(QStringLiteral("https://berthwatch.app/privacy"));
const QUrl termsURL(QStringLiteral("https://berthwatch.app/terms"));

} // namespace

SettingsView::SettingsView(AppModel& model, UpdateController* updates,
                           SettingsEnvironment environment, QWidget* parent)
    : QWidget(parent), model_(model), updates_(updates),
      open_(environment.open ? std::move(environment.open) : desktopUrlOpener()),
      storageFolder_(environment.storageFolder.isEmpty() ? model.historyFolder()
                                                         : environment.storageFolder),
      info_(environment.info ? *environment.info : ApplicationInfo::main()),
      scroll_(design::bareScrollArea(this)), column_(new QWidget) {
    setWindowTitle(QStringLiteral("Settings"));
    setAccessibleName(QStringLiteral("Settings"));
    QVBoxLayout* stack = design::placeColumn(this, scroll_, column_, 900, columnMargins, 32);
    stack->addWidget(design::makeScreenHeader(QStringLiteral("Settings"),
                                              QStringLiteral("Saved reports, updates and support."),
                                              column_));
    stack->addWidget(makeReportsAndStorage());
    stack->addWidget(makeAbout());
    stack->addStretch();

    connect(&model_, &AppModel::reportsChanged, this, &SettingsView::refresh);
    connect(&model_, &AppModel::reportsChanged, this, &SettingsView::followClear);
    design::enterOnFirstShow(this, {{column_, 6}});
    refresh();
}

QWidget* SettingsView::makeReportsAndStorage() {
    auto* section = new SettingsSection(QStringLiteral("Reports and storage"), column_);
    count_ = makeSettingsValue({});
    savedReports_ =
        new SettingsRow(QStringLiteral("doc.text"), QStringLiteral("Saved reports"), {}, count_);
    section->addRow(savedReports_);
    section->addDivider();
    reveal_ = new SettingsPillButton(QStringLiteral("Reveal"), {});
    connect(reveal_, &QAbstractButton::clicked, this, &SettingsView::revealStorageFolder);
    auto* location = new SettingsRow(QStringLiteral("folder"), QStringLiteral("Storage location"),
                                     QDir::toNativeSeparators(storageFolder_), reveal_);
    section->addRow(location);
    section->addDivider();
    clear_ = new SettingsPillButton(
        QStringLiteral("Clear"),
        {.fixedWidth = std::nullopt, .isProminent = false, .isDestructive = true});
    connect(clear_, &QAbstractButton::clicked, this, &SettingsView::askToClear);
    section->addRow(new SettingsRow(
        QStringLiteral("trash"), QStringLiteral("Clear report history"),
        QStringLiteral("Permanently remove every saved report from this computer."), clear_));
    problem_ = design::makeLabel({}, TextStyle::caption, palette::danger());
    problem_->setWordWrap(true);
    problem_->setAccessibleName(QStringLiteral("Settings problem"));
    problem_->hide();
    section->addMessage(problem_);
    return section;
}

QWidget* SettingsView::makeAbout() {
    auto* section = new SettingsSection(QStringLiteral("About"), column_);
    section->addRow(new SettingsRow(QStringLiteral("airplane.departure"), appDisplayName(info_),
                                    applicationVersionText(info_)));
    section->addDivider();
    const bool canUpdate = updates_ && updates_->isAvailable();
    auto* check = new SettingsPillButton(QStringLiteral("Check"), {});
    check->setEnabled(canUpdate);
    connect(check, &QAbstractButton::clicked, this, &SettingsView::checkForUpdates);
    section->addRow(new SettingsRow(
        QStringLiteral("arrow.triangle.2.circlepath"), QStringLiteral("Software updates"),
        canUpdate ? QStringLiteral("Check for the latest available version.")
                  : QStringLiteral("Update checks are not set up in this build."),
        check));
    struct Link {
        const char* symbol;
        const char* title;
        const char* detail;
        const char* label;
        const QUrl& url;
    };
    const Link links[] = {
        {"questionmark.circle", "Support", "Get help with Berthwatch.", "Email", supportURL},
        {"hand.raised", "Privacy Policy", "How Berthwatch handles and protects your data.", "Open",
         privacyURL},
        {"doc.text", "Terms of Service", "The terms that apply when using Berthwatch.", "Open",
         termsURL},
    };
    for (const Link& link : links) {
        section->addDivider();
        section->addRow(new SettingsRow(
            QString::fromUtf8(link.symbol), QString::fromUtf8(link.title),
            QString::fromUtf8(link.detail),
            new SettingsExternalLink(QString::fromUtf8(link.label), link.url, open_)));
    }
    return section;
}

QString SettingsView::savedReportsText(qsizetype count) {
    if (count == 0) {
        return QStringLiteral("No reports saved on this computer.");
    }
    return QStringLiteral("%1 %2 saved locally.")
        .arg(count)
        .arg(count == 1 ? QStringLiteral("report") : QStringLiteral("reports"));
}

QString SettingsView::problem() const {
    return problem_->isHidden() ? QString() : problem_->text();
}

void SettingsView::refresh() {
    const qsizetype count = qsizetype(model_.reports().size());
    savedReports_->setDetail(savedReportsText(count));
    count_->setText(QString::number(count));
    count_->adjustSize();
    // A disabled button cannot keep the focus. After a clear done with the keyboard it goes to
    // the page's first control, in the same section; after a click the page keeps it rather
    // than the next control, which would scroll the page away from where the user was.
    if (count == 0 && window()->focusWidget() == clear_) {
        setFocus(Qt::OtherFocusReason);
        design::focusAfterKeyboardAction(*reveal_);
    }
    clear_->setEnabled(count > 0);
}

void SettingsView::showProblem(const QString& text) {
    problem_->setText(text);
    problem_->setVisible(!text.isEmpty());
    if (!text.isEmpty()) {
        // Once the page has made room for it: scrolled by the least that shows it whole.
        QMetaObject::invokeMethod(
            this, [this] { scroll_->ensureWidgetVisible(problem_, 0, 12); }, Qt::QueuedConnection);
    }
}

void SettingsView::askToClear() {
    if (confirmation_ || model_.reports().empty()) {
        return;
    }
    confirmation_ = new design::ConfirmationDialog(
        QStringLiteral("Clear report history?"),
        QStringLiteral("This permanently removes all saved reports from this computer."),
        QStringLiteral("Clear History"), this);
    connect(confirmation_, &QDialog::accepted, this, [this] {
        showProblem({});
        isClearing_ = true;
        model_.clearReportHistory();
    });
    confirmation_->open();
}

void SettingsView::followClear() {
    // The model empties the list at once and puts it back when the history cannot be saved,
    // then sets its notice (perhaps to the text it already holds): tell it here once it is set.
    if (!isClearing_ || model_.reports().empty()) {
        return;
    }
    isClearing_ = false;
    QMetaObject::invokeMethod(
        this,
        [this] {
            showProblem(model_.reportNotice().value_or(
                QStringLiteral("Report history could not be cleared from disk.")));
        },
        Qt::QueuedConnection);
}

void SettingsView::revealStorageFolder() {
    showProblem({});
    // Only a folder that is there is opened: a missing one is made first, as the history would.
    if (storageFolder_.isEmpty() || !QDir().mkpath(storageFolder_)) {
        showProblem(QStringLiteral("The storage folder could not be created: %1")
                        .arg(QDir::toNativeSeparators(storageFolder_)));
        return;
    }
    if (!open_(QUrl::fromLocalFile(storageFolder_))) {
        showProblem(QStringLiteral("No file manager could open the storage folder: %1")
                        .arg(QDir::toNativeSeparators(storageFolder_)));
    }
}

void SettingsView::checkForUpdates() {
    if (updates_) {
        updates_->checkForUpdates();
    }
}

} // namespace bw::window
