#pragma once

#include "model/ReportEnums.h"

#include <QWidget>
#include <array>

class QBoxLayout;
class QScrollArea;
class QVBoxLayout;

namespace bw {
class AppModel;
}

namespace bw::design {
class CollapsingBox;
class TextBlock;
} // namespace bw::design

namespace bw::workspace {

class AppStoreImagesControl;
class FileChooser;
class FlatIconButton;
class IPhoneReviewSlot;
class ScrollEdgeFade;
class SlotRow;

// The lower part of the staged build screen: one phone slot per review area for optional
// screenshots, the "App Store images" switch with its explanation, and the model's message when
// an image was refused, for the screen to place. Every change goes through the model.
class ReviewScreensSection : public QWidget {
    Q_OBJECT

public:
    ReviewScreensSection(AppModel& model, QWidget* parent = nullptr);

    void setFileChooser(FileChooser* chooser) { chooser_ = chooser; }
    // From the screen's layout: the compact padding above the slot row, each slot's width and the
    // row's least width.
    void setLayoutMetrics(bool isCompact, double slotWidth, double rowWidth);

    IPhoneReviewSlot* slot(ScreenshotPrompt prompt) const;
    // Tells where the slot row goes on beyond what is shown.
    const ScrollEdgeFade& slotRowFade() const { return *slotFade_; }
    // The red line with the model's import message; hidden while there is none. The screen
    // places it.
    design::CollapsingBox* importMessage() const { return importMessageBox_; }
    // The section's title and subtitle with the controls beside or under them.
    QWidget* heading() const { return titleBlock_->parentWidget(); }
    bool isStoreImageHelpPresented() const;
    bool isHeaderStacked() const;

    void chooseScreenshot(ScreenshotPrompt prompt);
    void toggleStoreImageHelp();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* makeHeader();
    QWidget* makeHelpPanel();
    QWidget* makeImportMessage();
    void followModel();
    void updateHeaderArrangement();

    AppModel& model_;
    FileChooser* chooser_ = nullptr;
    QBoxLayout* headerLayout_ = nullptr;
    QWidget* titleBlock_ = nullptr;
    QWidget* controls_ = nullptr;
    AppStoreImagesControl* storeImages_ = nullptr;
    design::CollapsingBox* helpBox_ = nullptr;
    QScrollArea* slotScroll_ = nullptr;
    SlotRow* slotRow_ = nullptr;
    ScrollEdgeFade* slotFade_ = nullptr;
    design::CollapsingBox* importMessageBox_ = nullptr;
    design::TextBlock* importMessageText_ = nullptr;
    QVBoxLayout* column_ = nullptr;
    QVBoxLayout* slotPaddingLayout_ = nullptr;
};

} // namespace bw::workspace
