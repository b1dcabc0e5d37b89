#pragma once

#include <QMetaObject>
#include <QObject>
#include <QThreadPool>
#include <utility>

// Hands work from one thread to another through Qt's queues.
//
// Qt orders a hand-off with its own locks: whatever the sending thread did before queuing happens
// before the receiving thread runs the work. ThreadSanitizer cannot see those locks, because Qt is not
// built with it, so every hand-off would look like a race. Under ThreadSanitizer the same order is
// declared here where it can see it, and the queue's own bookkeeping (done inside Qt's locks) is left
// unwatched. Without ThreadSanitizer all of this compiles to the plain Qt calls.
#if defined(__SANITIZE_THREAD__)
#define LOOPWREN_WATCHED_BY_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define LOOPWREN_WATCHED_BY_TSAN 1
#endif
#endif

#ifdef LOOPWREN_WATCHED_BY_TSAN
extern "C" {
void __tsan_acquire(void* addr);
void __tsan_release(void* addr);
void __tsan_ignore_thread_begin();
void __tsan_ignore_thread_end();
}
#endif

namespace loopwren::threadhandoff {

namespace detail {

#ifdef LOOPWREN_WATCHED_BY_TSAN
inline void sent(const void* channel) { __tsan_release(const_cast<void*>(channel)); }
inline void received(const void* channel) { __tsan_acquire(const_cast<void*>(channel)); }
struct Unwatched
{
    Unwatched() { __tsan_ignore_thread_begin(); }
    ~Unwatched() { __tsan_ignore_thread_end(); }
    Unwatched(const Unwatched&) = delete;
    Unwatched& operator=(const Unwatched&) = delete;
};
#else
inline void sent(const void*) {}
inline void received(const void*) {}
struct Unwatched
{
};
#endif

// The work as the receiving thread sees it: it runs, or is dropped unrun when its receiver is gone,
// only after everything the sender did before queuing it.
template <typename F>
class Received
{
public:
    Received(const void* channel, F work) : m_channel(channel), m_work(std::move(work)) {}
    Received(const Received&) = default; // std::function, which the pool takes, copies
    Received(Received&&) = default;
    ~Received() { received(m_channel); }

    void operator()()
    {
        received(m_channel);
        m_work();
    }

private:
    const void* m_channel;
    F m_work;
};

} // namespace detail

// Runs work on the thread of context, later, unless context is gone by then.
template <typename F>
void queue(QObject* context, F work)
{
    detail::sent(context);
    [[maybe_unused]] const detail::Unwatched unwatched;
    QMetaObject::invokeMethod(context, detail::Received<F>(context, std::move(work)), Qt::QueuedConnection);
}

// Runs work on a thread of pool.
template <typename F>
void startInPool(QThreadPool& pool, F work)
{
    detail::sent(&pool);
    [[maybe_unused]] const detail::Unwatched unwatched;
    pool.start(detail::Received<F>(&pool, std::move(work)));
}

} // namespace loopwren::threadhandoff
