#pragma once

#include <QByteArray>
#include <QString>
#include <stop_token>

namespace bw::fs {

// Deletes `path` and everything below it without following links; folders whose permissions
// would stop the removal are opened up first. Stops between two entries once `stop` is
// requested. True when `path` is gone.
bool removeTree(const QString& path, std::stop_token stop = {});

// Removes `path` as removeTree does, on a thread of its own, and then closes `lock` (a descriptor
// that locks it, or -1). A folder still there when the program ends stays, unlocked, for a later
// start's sweep: the program never waits for it.
void removeTreeInBackground(const QString& path, int lock);

// Returns once every folder handed to the background so far is gone (or could not be removed): for
// a command-line run that must not leave its folders behind. Never returns while a
// BackgroundRemovalPause lives.
void waitForBackgroundRemovals();

// While one lives, removals in the background wait, so that a test can see a run end before its
// folder goes.
class BackgroundRemovalPause {
public:
    BackgroundRemovalPause();
    ~BackgroundRemovalPause();
    BackgroundRemovalPause(const BackgroundRemovalPause&) = delete;
    BackgroundRemovalPause& operator=(const BackgroundRemovalPause&) = delete;
};

} // namespace bw::fs
