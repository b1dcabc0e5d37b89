#pragma once

namespace loopwren::bench {

// Puts the calling thread in the real-time class (SCHED_FIFO), ahead of every ordinary thread: for
// what stands in for hardware and for the probes that measure, which must keep time and keep up
// whatever LoopWren and the rest of the machine are doing. LoopWren itself runs as it would on a
// desktop. False when the system refuses (not root).
bool makeThisThreadRealTime();

} // namespace loopwren::bench
