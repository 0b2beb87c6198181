#pragma once

namespace bw {
class AppModel;
}

namespace bw::report {

class Pasteboard;

// What the report's views share from their surroundings: the model they read and write (and
// whose clock times their passing states), and the clipboard.
struct ReportContext {
    AppModel& model;
    const Pasteboard& pasteboard;
};

} // namespace bw::report
