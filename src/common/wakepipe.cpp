#include "wakepipe.h"

#include <fcntl.h>
#include <unistd.h>

namespace loopwren {

WakePipe::WakePipe()
{
    int ends[2];
    if (pipe2(ends, O_NONBLOCK | O_CLOEXEC) == 0) {
        m_readEnd = ends[0];
        m_writeEnd = ends[1];
    }
}

WakePipe::~WakePipe()
{
    if (m_readEnd >= 0)
        close(m_readEnd);
    if (m_writeEnd >= 0)
        close(m_writeEnd);
}

void WakePipe::wake()
{
    const char byte = 1;
    // A full pipe already holds a wake-up, so a failed write loses nothing.
    [[maybe_unused]] const auto written = write(m_writeEnd, &byte, 1);
}

void WakePipe::drain()
{
    char buffer[64];
    while (read(m_readEnd, buffer, sizeof buffer) > 0) {
    }
}

} // namespace loopwren
