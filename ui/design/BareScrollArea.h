#pragma once

class QScrollArea;
class QWidget;

namespace bw::design {

// A scroll area that is only a moving view of its widget: no frame, not a Tab stop of its own
// (the controls inside it are), no scroll bars, no background of its own (what lies under it
// shows through), its widget resized with it. Rows that a scroll brings under the pointer light
// up, and those it takes away go dark (followPointer).
QScrollArea* bareScrollArea(QWidget* parent = nullptr);

// Puts `content` in a bare scroll area with no background of its own either. setWidget turns its
// fill on; a filled widget is drawn apart from an entrance's picture of the page, and would be
// missing from the screen until the entrance ends.
void setBareContent(QScrollArea& scroll, QWidget* content);

} // namespace bw::design
