#pragma once

#include <QString>
#include <optional>
#include <stop_token>
#include <vector>

// Walks of folders that may hold untrusted, extracted content. Symbolic links below the root are
// never followed: an item that is a link is reported as itself and never entered.
namespace bw::fs {

struct WalkOptions {
    // Leave out items whose name begins with a dot, and everything below them.
    bool skipHidden = true;
    // Enter bundles (.app, .framework, ...) found below the root; the root itself is always
    // entered.
    bool descendIntoPackages = true;
    // Once a stop is requested the walk ends between two items, throwing Cancelled: a build
    // may hold hundreds of thousands of them.
    std::stop_token stop;
};

// Every item below `root`, depth-first: each folder is listed before its contents, and the items
// of one folder come in name order. Absent when `root` is not a folder that can be listed; items
// that cannot be read during the walk are left out without stopping it.
std::optional<std::vector<QString>> walk(const QString& root, WalkOptions options);

// The items directly inside `folder`, in name order; absent when it cannot be listed.
std::optional<std::vector<QString>> listFolder(const QString& folder, bool skipHidden);

// A folder whose extension marks it as a bundle that the system shows as a single item.
bool isPackage(const QString& path);

} // namespace bw::fs
