#pragma once

#include "model/StagedBuild.h"

#include <QWidget>
#include <functional>
#include <vector>

class QBoxLayout;
class QLabel;
class QScrollArea;
class QVBoxLayout;

namespace bw {
class AppModel;
class UpdateController;
} // namespace bw

namespace bw::design {
class ElidedText;
class SymbolWidget;
class TextBlock;
} // namespace bw::design

namespace bw::workspace {

class BuildMetadataItem;
class FileChooser;
class ReviewScreensSection;
class ScrollEdgeFade;
class StagedAppIcon;
class StagedTextButton;

// The screen between choosing a build and scanning it: what the quick preview found (icon, name,
// status, metadata), "Retry preview" when it failed, the review screens section, and the action
// that follows the scan phase ("Scan build", progress, or the failure with "Try again" or "Check
// for updates"). It reads everything from the model and keeps no copy of the model's state.
class StagedBuildView : public QWidget {
    Q_OBJECT

public:
    StagedBuildView(AppModel& model, QWidget* parent = nullptr);

    // What "Scan build" and "Try again" run; the home screen supplies it.
    void setScanRequest(std::function<void()> onRequestScan);
    // Null (the default) disables "Check for updates".
    void setUpdateController(UpdateController* updates);
    void setFileChooser(FileChooser* chooser);

    ReviewScreensSection* reviewScreens() const { return section_; }
    bool isCompact() const { return isCompact_; }
    // Tells where the page goes on above or below what is shown.
    const ScrollEdgeFade& pageFade() const { return *pageFade_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* makeHeader();
    QWidget* makeBuildSection();
    QWidget* makeFooter();
    QWidget* makeActionArea();
    QWidget* makeScanButton(const QString& title);
    QWidget* makeFailurePanel(const QString& message);
    QWidget* makePhaseProgress(const QString& message, double progress);
    QWidget* makeMetadataRow(const StagedBuild& staged);

    int separatorSpace() const;
    int trailingSpace() const;
    void fitMetadataCells();
    void showStaged();
    void showAction();
    void leadTabOrderWithAction();
    void applyLayout();
    void requestScan();
    void fitPageHeight();
    int viewEndFor(int room);
    void markAppeared();

    AppModel& model_;
    std::function<void()> onRequestScan_;
    UpdateController* updates_ = nullptr;
    bool isCompact_ = false;
    bool hasAppeared_ = false;
    bool isFitting_ = false;
    // Where the page's view last ended clear of text, and for what.
    struct {
        QSize page;
        int room = -1;
        int end = 0;
    } measuredEnd_;
    QUuid shownBuild_;
    QWidget* header_ = nullptr;
    QWidget* buildSection_ = nullptr;
    QWidget* sectionHolder_ = nullptr;
    QWidget* messageHolder_ = nullptr;
    QWidget* footer_ = nullptr;

    QBoxLayout* headerLayout_ = nullptr;
    QBoxLayout* actionSlot_ = nullptr;
    QWidget* action_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    ScrollEdgeFade* pageFade_ = nullptr;
    QVBoxLayout* columnLayout_ = nullptr;
    QVBoxLayout* messageLayout_ = nullptr;
    QBoxLayout* buildLayout_ = nullptr;
    StagedAppIcon* icon_ = nullptr;
    design::ElidedText* name_ = nullptr;
    design::SymbolWidget* statusSymbol_ = nullptr;
    QLabel* status_ = nullptr;
    QWidget* previewError_ = nullptr;
    design::TextBlock* previewErrorText_ = nullptr;
    QWidget* metadata_ = nullptr;
    std::vector<BuildMetadataItem*> metadataCells_;
    QBoxLayout* sectionPadding_ = nullptr;
    ReviewScreensSection* section_ = nullptr;
    QBoxLayout* footerLayout_ = nullptr;
};

} // namespace bw::workspace
