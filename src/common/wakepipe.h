#pragma once

namespace loopwren {

// A self-pipe that lets one thread interrupt another's poll(). Both ends are non-blocking and
// close-on-exec, and are closed on destruction.
class WakePipe
{
public:
    WakePipe();
    ~WakePipe();
    WakePipe(const WakePipe&) = delete;
    WakePipe& operator=(const WakePipe&) = delete;

    bool isValid() const { return m_readEnd >= 0; }
    // The descriptor to poll for POLLIN.
    int readEnd() const { return m_readEnd; }
    // Async-signal-safe and callable from any thread; repeated wakes before a drain are merged.
    void wake();
    void drain();

private:
    int m_readEnd = -1;
    int m_writeEnd = -1;
};

} // namespace loopwren
