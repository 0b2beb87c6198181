#include "app/HistoryWriter.h"

#include "app/ErrorDescription.h"

namespace bw {

HistoryWriter::HistoryWriter(ReportStore store, History saved, QObject* parent)
    : QObject(parent), store_(std::move(store)), written_(std::move(saved)) {}

HistoryWriter::~HistoryWriter() = default;

void HistoryWriter::save(Edit edit, bool keepOnFailure, Answer answered) {
    unsaved_.emplace_back(edit, std::move(answered));
    worker_.post([this, edit = std::move(edit), keepOnFailure] {
        std::vector<ScanReport> edited = edit(*written_);
        std::optional<QString> failure;
        try {
            store_.save(edited);
        } catch (const std::exception& error) {
            failure = errorDescription(error);
        }
        if (!failure || keepOnFailure) {
            written_ = std::make_shared<const std::vector<ScanReport>>(std::move(edited));
        }
        postTo(this, [this, history = written_, failure] { saved(history, failure); });
    });
}

void HistoryWriter::saved(History history, const std::optional<QString>& failure) {
    const Answer answered = std::move(unsaved_.front().second);
    unsaved_.pop_front();
    // Edits made since are still on their way to disk: they stay in memory, in their order.
    if (!unsaved_.empty()) {
        std::vector<ScanReport> edited = *history;
        for (const auto& later : unsaved_) {
            edited = later.first(std::move(edited));
        }
        history = std::make_shared<const std::vector<ScanReport>>(std::move(edited));
    }
    answered(std::move(history), failure);
}

} // namespace bw
