#include "platform/zip/EntryName.h"

namespace bw::zip {

namespace {

// Calls `visit` with every non-empty, non-"." component of a slash-separated path.
template <typename Visit> void forEachComponent(std::string_view path, Visit visit) {
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t slash = path.find('/', start);
        const std::size_t end = slash == std::string_view::npos ? path.size() : slash;
        const std::string_view component = path.substr(start, end - start);
        if (!component.empty() && component != ".") {
            visit(component);
        }
        start = end + 1;
    }
}

} // namespace

CheckedEntryName checkEntryName(std::string_view name) {
    CheckedEntryName result;
    result.directory = !name.empty() && name.back() == '/';
    if (name.find('\0') != std::string_view::npos) {
        result.verdict = EntryNameVerdict::nulCharacter;
        return result;
    }
    if (name.size() > maximumEntryNameLength) {
        result.verdict = EntryNameVerdict::tooLong;
        return result;
    }
    if (!name.empty() && name.front() == '/') {
        result.verdict = EntryNameVerdict::absolute;
        return result;
    }
    bool hasParent = false;
    forEachComponent(name, [&](std::string_view component) {
        hasParent = hasParent || component == "..";
        result.components.emplace_back(component);
    });
    if (hasParent) {
        result.verdict = EntryNameVerdict::parentComponent;
    } else if (result.components.empty()) {
        result.verdict = EntryNameVerdict::empty;
    } else if (result.components.front() == "__MACOSX") {
        result.verdict = EntryNameVerdict::macMetadata;
    } else {
        result.verdict = EntryNameVerdict::accepted;
    }
    if (result.verdict != EntryNameVerdict::accepted) {
        result.components.clear();
    }
    return result;
}

std::string_view refusalReason(EntryNameVerdict verdict) {
    switch (verdict) {
    case EntryNameVerdict::accepted:
    case EntryNameVerdict::macMetadata:
        return {};
    case EntryNameVerdict::empty:
        return "the name is empty";
    case EntryNameVerdict::absolute:
        return "absolute names are not allowed";
    case EntryNameVerdict::parentComponent:
        return "\"..\" components are not allowed";
    case EntryNameVerdict::tooLong:
        return "the name is longer than 1024 bytes";
    case EntryNameVerdict::nulCharacter:
        return "the name contains a NUL character";
    }
    return {};
}

} // namespace bw::zip
