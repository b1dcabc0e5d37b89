#pragma once

#include "pointerpositionsource.h"

#include <QPoint>
#include <QString>
#include <QThread>

#include <atomic>
#include <cstdint>
#include <memory>

namespace loopwren {

class GnomeShellBus;

// The pointer's position as LoopWren's GNOME Shell extension pushes it at each move, kept at hand so
// that the capture's thread reads it without waiting for the Shell: a thread of this object's own,
// with a connection of its own, receives the pushes.
//
// What a press records is the last position the Shell pushed before it: the Shell and the capture read
// the same kernel events, so the position lags the hand by the time the push takes to arrive (a few
// milliseconds; see the tests) while the pointer moves, and is exact once it rests.
class GnomePointerTracker : public PointerPositionSource
{
public:
    // primaryOrigin: where the primary output's top-left lies in the Shell's stage, which the positions
    // count from. Asks the extension for the position once, then follows its pushes.
    GnomePointerTracker(const QString& busAddress, QPoint primaryOrigin);
    ~GnomePointerTracker() override;

    // The last pushed position; nullopt before the first, or while the extension is gone.
    std::optional<Point> pointerPosition() override;

private:
    class Receiver;

    void store(int x, int y);
    void forget();

    QPoint m_primaryOrigin;
    // x and y in one word, so that a reader never sees one move's x with another's y.
    std::atomic<std::uint64_t> m_position{0};
    std::atomic<bool> m_known{false};
    QThread m_thread;
    Receiver* m_receiver = nullptr; // lives on m_thread, deleted there
};

} // namespace loopwren
