#pragma once

#include "app/WorkerTasks.h"
#include "model/ReportStore.h"

#include <QObject>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace bw {

// Saves the report history, one save at a time on its own thread, each after every earlier one.
// An edit is a function of the list, so the writer applies it to the history as it last wrote
// it, and replays the edits still on their way onto what a save leaves. A failed save takes
// back its own edit only (unless the edit asked to be kept), so changes whose saves overlap
// neither lose nor reorder one another.
class HistoryWriter : public QObject {
    Q_OBJECT

public:
    // A whole history, shared by whoever holds it and never changed once made.
    using History = std::shared_ptr<const std::vector<ScanReport>>;
    using Edit = std::function<std::vector<ScanReport>(std::vector<ScanReport>)>;
    // The history as it now stands (what the save left, with the later edits applied) and the
    // failure's text; on the thread the writer lives on.
    using Answer = std::function<void(History history, const std::optional<QString>& failure)>;

    // `saved` is the history as the store last read it.
    HistoryWriter(ReportStore store, History saved, QObject* parent = nullptr);
    ~HistoryWriter() override;

    // Saves `edit` applied to the written history. A failure keeps the edit when
    // `keepOnFailure`, else takes it back.
    void save(Edit edit, bool keepOnFailure, Answer answered);

private:
    void saved(History history, const std::optional<QString>& failure);

    ReportStore store_;
    // Edits whose save has not answered yet, oldest first, with what follows each answer.
    std::deque<std::pair<Edit, Answer>> unsaved_;
    // The history as the writer has it; only the writer's thread touches it after construction.
    History written_;
    // Last, so that its thread is joined before anything it reports to goes.
    SerialWorker worker_;
};

} // namespace bw
