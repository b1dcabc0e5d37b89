#pragma once

namespace loopwren::deadlinepriority {

// The last stretch of a playback's wait and the input due at its end run ahead of ordinary threads
// where the system lets this process use real-time scheduling (root, or an RLIMIT_RTPRIO such as
// audio users are given): an ordinary thread woken at its deadline queues behind whatever else the
// processor runs, which is most of what a replay's intervals are off by on a busy or emulated
// machine. Only then: a wait that is long, or already behind schedule (a burst of zero delays, an
// endless macro of them), runs as an ordinary thread, so a playback never keeps a processor from the
// rest of the desktop. Each call concerns the calling thread; a refusal is remembered for the process.

// Ahead of ordinary threads, where allowed.
void raise();
// Back among them.
void lower();
// Whether the calling thread is raised now.
bool isRaised();

} // namespace loopwren::deadlinepriority
