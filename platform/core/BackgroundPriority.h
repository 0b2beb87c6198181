#pragma once

#include <algorithm>
#include <sys/resource.h>
#include <unistd.h>

namespace bw {

// The nice value for work the window must not wait for: the scan's threads and the tools they
// start. Ten steps nicer than the process gives the window about nine tenths of a processor both
// compete for, yet leaves the scan everything the window does not use.
inline int backgroundNiceValue() {
    // On Linux each thread has its own nice value; the process's is its main thread's.
    return std::min(19, getpriority(PRIO_PROCESS, id_t(getpid())) + 10);
}

// Lowers the calling thread to the background nice value; the threads and processes it starts
// inherit it. Raising it back takes a privilege, so only threads that end with their work call it.
inline void lowerThreadPriority() {
    setpriority(PRIO_PROCESS, id_t(gettid()), backgroundNiceValue());
}

// Lowers a process just started, whichever thread started it.
inline void lowerProcessPriority(pid_t process) {
    setpriority(PRIO_PROCESS, id_t(process), backgroundNiceValue());
}

} // namespace bw
