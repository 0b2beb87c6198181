#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace bw::zip {

enum class EntryNameVerdict {
    accepted,
    macMetadata,     // under "__MACOSX/": resource forks that this platform has no use for
    empty,           // names nothing below the destination ("", "./")
    absolute,        // starts with "/"
    parentComponent, // has a ".." component
    tooLong,         // longer than maximumEntryNameLength
    nulCharacter,
};

// The longest path the platform these archives come from can open; longer names only serve to
// make extraction slow (every item is reached one folder at a time).
constexpr std::size_t maximumEntryNameLength = 1024;

// An entry name split into the folder names it takes below the destination. Empty and "."
// components are dropped, so "a//./b" and "a/b" name the same item.
struct CheckedEntryName {
    EntryNameVerdict verdict = EntryNameVerdict::empty;
    std::vector<std::string> components;
    bool directory = false; // the name ends in "/"
};

CheckedEntryName checkEntryName(std::string_view name);

// A few words on why a name was refused, for error messages.
std::string_view refusalReason(EntryNameVerdict verdict);

} // namespace bw::zip
