#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>
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

template <typename F>
void postAfter(std::chrono::milliseconds delay, QObject* context, F&& work)
{
    QTimer::singleShot(delay, context, std::forward<F>(work));
}

// Runs work on a pool thread, no earlier than delay from now.
template <typename F>
void runInBackgroundAfter(std::chrono::milliseconds delay, QObject* context, F work)
{
    QTimer::singleShot(delay, context,
                       [work = std::move(work)]() mutable { threadhandoff::startInPool(std::move(work)); });
}

} // namespace mainqueue
} // namespace loopwren
