// Loaded into the program by a test: each file removed inside a work folder takes a few
// milliseconds, so that a sweep of a few thousand files lasts as long as one of hundreds of
// thousands does. With BW_REMOVAL_HOLD naming a file, a removal there first leaves a mark named
// as that file with ".reached" added, then waits as long as that file is there: a removal that
// takes as long as the test wants.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

static void waitWhileHeld(void) {
    const char* hold = getenv("BW_REMOVAL_HOLD");
    if (hold == NULL || access(hold, F_OK) != 0) {
        return;
    }
    char reached[4096];
    snprintf(reached, sizeof reached, "%s.reached", hold);
    close(open(reached, O_WRONLY | O_CREAT | O_CLOEXEC, 0600));
    const struct timespec pause = {0, 10 * 1000 * 1000};
    while (access(hold, F_OK) == 0) {
        nanosleep(&pause, NULL);
    }
}

int unlink(const char* path) {
    static int (*removeFile)(const char*);
    if (removeFile == NULL) {
        // Copied as bytes: ISO C has no cast from the object pointer dlsym returns to a function.
        void* found = dlsym(RTLD_NEXT, "unlink");
        memcpy(&removeFile, &found, sizeof(removeFile));
    }
    if (strstr(path, "/Berthwatch-") != NULL) {
        waitWhileHeld();
        const struct timespec pause = {0, 5 * 1000 * 1000};
        nanosleep(&pause, NULL);
    }
    return removeFile(path);
}
