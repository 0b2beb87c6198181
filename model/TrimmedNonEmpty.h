#pragma once

#include <QString>
#include <optional>

namespace bw {

// The text without white space and line breaks at either end; absent when there is no text or
// nothing is left.
inline std::optional<QString> trimmedNonEmpty(const std::optional<QString>& text) {
    if (!text) {
        return std::nullopt;
    }
    QString trimmed = text->trimmed();
    return trimmed.isEmpty() ? std::nullopt : std::optional(std::move(trimmed));
}

} // namespace bw
