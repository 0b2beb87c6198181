#pragma once

class QDropEvent;

namespace bw::design {

// The application only reads what is dropped on it: a source told its file was moved may delete
// it. Takes the drag or the drop as a copy where the source offers one, else as it proposes.
void takeAsCopy(QDropEvent& event);

// Tells the source that nothing was done with what it dragged.
void refuseDrop(QDropEvent& event);

} // namespace bw::design
