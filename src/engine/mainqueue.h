#pragma once

#include <QObject>
#include <QPointer>
#include <QThreadPool>
#include <QTimer>
#include <chrono>
#include <functional>
#include <utility>

#include "threadhandoff.h"

namespace loopwren {

// The engine's scheduling primitives on Qt's event loop. Work queued on the main thread runs later,
// never inside the call that queued it, one item at a time, first in first out; work bound to a
// context object is dropped when that object is gone.
namespace mainqueue {

template <typename F>
void post(QObject* context, F&& work)
{
    threadhandoff::queue(context, std::forward<F>(work));
}

// Where delayed work waits for its time: Qt's timers, or a virtual time a test moves on, so that what
// happens after a delay is checked at the exact moment, neither earlier nor later.
class DelayTimer
{
public:
    virtual ~DelayTimer() = default;
    // Runs work on the main thread once delay has passed, unless context is gone by then.
    virtual void schedule(std::chrono::milliseconds delay, QObject* context, std::function<void()> work) = 0;
};

// Puts delayed work on timer from now on; nullptr returns it to Qt's timers. Main thread only.
void setDelayTimer(DelayTimer* timer);
void schedule(std::chrono::milliseconds delay, QObject* context, std::function<void()> work);

template <typename F>
void postAfter(std::chrono::milliseconds delay, QObject* context, F&& work)
{
    schedule(delay, context, std::function<void()>(std::forward<F>(work)));
}

// A modal dialog runs a nested event loop, in which queued work would run under the open
// dialog: a hotkey pressed while the Export dialog is open would start the playback beneath it. Work
// that starts something or changes the timeline is therefore queued with postAfterModal. It keeps its
// place in the queue, but while a ModalScope exists it waits, and everything that waited runs in
// order once the last scope has ended. Main thread only, like the dialogs themselves.
class ModalScope
{
public:
    ModalScope();
    ~ModalScope();
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

    static bool isOpen();
};

// On the main thread: runs work now, unless a modal dialog is open or work already waits for one to
// close; then it waits its turn, and is dropped if context is gone by then.
void runAfterModal(QObject* context, std::function<void()> work);

// Like post, from any thread; when its turn comes, the work runs as runAfterModal does.
template <typename F>
void postAfterModal(QObject* context, F work)
{
    threadhandoff::queue(
        context, [context, work = std::move(work)]() mutable { runAfterModal(context, std::move(work)); });
}

// Runs work on a thread of pool, no earlier than delay from now; nothing when context is gone by then.
template <typename F>
void runInBackgroundAfter(std::chrono::milliseconds delay, QObject* context, QThreadPool& pool, F work)
{
    schedule(delay, context, [&pool, work = std::move(work)]() mutable {
        threadhandoff::startInPool(pool, std::move(work));
    });
}

} // namespace mainqueue
} // namespace loopwren
