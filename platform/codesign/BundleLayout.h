#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace bw::codesign {

// Where the parts of a bundle live. iOS-style bundles keep everything at the top; macOS bundles
// keep it under Contents/; versioned frameworks under Versions/Current.
struct BundleLayout {
    std::filesystem::path root;         // the bundle as named by the caller
    std::filesystem::path resourceBase; // the folder the seal's paths are relative to
    std::filesystem::path infoPlist;    // may not exist
    std::filesystem::path codeResources;
    std::optional<std::filesystem::path> executable; // absent when the bundle names none
    bool contentsFolder = false;                     // a macOS bundle with Contents/
    bool versioned = false; // a framework with Versions/Current, its root outside the seal

    // The executable's path relative to resourceBase, with '/' separators.
    std::optional<std::string> executableRelativePath() const;
};

// The layout of the bundle folder at `root`; the executable comes from CFBundleExecutable or,
// for a framework without one, from the bundle's own name.
BundleLayout bundleLayout(const std::filesystem::path& root);

// How Apple's tool names code in its progress lines: a versioned framework as
// "Versions/Current/." inside it, anything else by its own path.
std::filesystem::path shownCodePath(const std::filesystem::path& code);

// A folder that holds code of its own: a signature folder or a main executable. Folders of
// resources that merely look like bundles are not code.
bool isCodeBundle(const std::filesystem::path& folder);

// A file that starts like a thin or universal Mach-O.
bool looksLikeMachO(const std::filesystem::path& file);

} // namespace bw::codesign
