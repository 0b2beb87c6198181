#pragma once

#include "model/ReportEnums.h"
#include "ui/design/Motion.h"

#include <QWidget>
#include <functional>
#include <optional>

class QStackedWidget;

namespace bw::workspace {

class CenteredRemoveButton;
class IPhone16ProChassis;
class ReviewScreenPlaceholder;
class ScreenshotThumbnailLoader;
class SlotCaption;
class SlotPhoneArea;
class SlotScreenshotView;

// One review area's slot: a drawn phone showing the area's screenshot or its placeholder, with
// a caption under it. An empty phone is clicked to choose a file; an image file can be dropped on
// it; a filled one offers "Remove" while the pointer or the keyboard is on it. The slot changes no
// model state itself: it reports the user's wishes through its signals.
class IPhoneReviewSlot : public QWidget {
    Q_OBJECT

public:
    explicit IPhoneReviewSlot(ScreenshotPrompt prompt, QWidget* parent = nullptr);

    ScreenshotPrompt prompt() const { return prompt_; }

    // The area's screenshot file; absent when the area has none. Its thumbnail is read anew.
    void setUrl(const std::optional<QString>& url);
    // While a scan prepares or runs: drops are refused, and an empty slot is locked.
    void setInputDisabled(bool disabled);
    // The dropped files the receiver of fileDropped will use; every file, unless set. Any other
    // is still reported, for the receiver to say why not, but its source learns it was not taken.
    void setUsableFiles(std::function<bool(const QString&)> usable);
    void setSlotWidth(int width);

    bool isFilled() const { return url_.has_value(); }
    bool isLocked() const { return isInputDisabled_ && !isFilled(); }
    bool isTargeted() const { return isTargeted_; }
    // How far the drop ring is drawn around the phone (0...1); it follows isTargeted().
    qreal dropRingProgress() const { return target_.value(); }
    // The phone shows the decoded screenshot rather than the placeholder.
    bool showsScreenshot() const;
    // The thumbnail of the current file has been read (or found unreadable).
    bool isThumbnailSettled() const;
    // The pixel size of the decoded screenshot; empty when none is shown.
    QSize screenshotPixelSize() const;
    // The phone's rectangle in this slot's coordinates, where the drop ring is drawn.
    QRect phoneRect() const;

    QSize sizeHint() const override;

signals:
    void chooseRequested();
    void removeRequested();
    void fileDropped(const QString& path);
    void dropRingChanged();

private:
    friend class SlotPhoneArea;

    void setTargeted(bool targeted);
    void setHovering(bool hovering);
    // The keyboard came to or left the phone.
    void followKeyboard();
    void followPresence();
    bool hasKeyboardWithin() const;
    void phoneClicked();
    void acceptDrop(const QString& path);
    void refresh();
    void showThumbnail(const QImage& image);

    ScreenshotPrompt prompt_;
    std::optional<QString> url_;
    std::function<bool(const QString&)> isUsable_;
    bool isInputDisabled_ = false;
    bool isTargeted_ = false;
    bool isHovering_ = false;
    int slotWidth_ = 188;
    design::AnimatedValue target_{0.0};   // the drop look: ring, placeholder
    design::AnimatedValue presence_{0.0}; // the remove button

    SlotPhoneArea* phoneArea_;
    ReviewScreenPlaceholder* placeholder_;
    SlotScreenshotView* screenshotView_;
    QStackedWidget* screen_;
    IPhone16ProChassis* chassis_;
    CenteredRemoveButton* removeButton_;
    SlotCaption* caption_;
    ScreenshotThumbnailLoader* loader_;
};

} // namespace bw::workspace
