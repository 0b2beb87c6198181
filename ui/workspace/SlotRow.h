#pragma once

#include "model/ReportEnums.h"

#include <QPainterPath>
#include <QWidget>
#include <array>
#include <optional>

namespace bw::workspace {

class IPhoneReviewSlot;

// The five review slots side by side, centred in a row at least `rowWidth` wide, with the drop
// ring of a targeted slot drawn above them. The ring is the phone's outline turned on its side,
// so it reaches over the neighbouring slots.
class SlotRow : public QWidget {
    Q_OBJECT

public:
    explicit SlotRow(QWidget* parent = nullptr);

    IPhoneReviewSlot* slot(ScreenshotPrompt prompt) const;
    const std::array<IPhoneReviewSlot*, 5>& reviewSlots() const { return slots_; }

    void setMetrics(int slotWidth, int rowWidth);

    // The ring of the slot, in this row's coordinates: absent while no drag is over it.
    std::optional<QPainterPath> dropRing(ScreenshotPrompt prompt) const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    class RingOverlay;

    std::array<IPhoneReviewSlot*, 5> slots_{};
    RingOverlay* overlay_;
};

} // namespace bw::workspace
