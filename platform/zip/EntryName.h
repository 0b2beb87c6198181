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
    nulCharacter,
};

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
