#include "mainqueue.h"

#include <deque>

namespace loopwren::mainqueue {
namespace {

struct Kept
{
    QPointer<QObject> context;
    std::function<void()> work;
};

int g_openScopes = 0;
std::deque<Kept> g_kept;
bool g_resumeQueued = false;
DelayTimer* g_delayTimer = nullptr;

// The object the resumption is queued on: it lives as long as the process.
QObject* resumer()
{
    static QObject* const object = new QObject;
    return object;
}

void runKept()
{
    g_resumeQueued = false;
    // A kept item may open a dialog of its own; the rest then waits for that one.
    while (g_openScopes == 0 && !g_kept.empty()) {
        Kept next = std::move(g_kept.front());
        g_kept.pop_front();
        if (next.context)
            next.work();
    }
}

} // namespace

ModalScope::ModalScope() { ++g_openScopes; }

ModalScope::~ModalScope()
{
    // Resumed from the queue, not from here: the dialog's caller finishes its step first.
    if (--g_openScopes == 0 && !g_kept.empty() && !g_resumeQueued) {
        g_resumeQueued = true;
        threadhandoff::queue(resumer(), [] { runKept(); });
    }
}

void setDelayTimer(DelayTimer* timer) { g_delayTimer = timer; }

void schedule(std::chrono::milliseconds delay, QObject* context, std::function<void()> work)
{
    if (g_delayTimer)
        g_delayTimer->schedule(delay, context, std::move(work));
    else
        QTimer::singleShot(delay, context, std::move(work));
}

bool ModalScope::isOpen() { return g_openScopes > 0; }

void runAfterModal(QObject* context, std::function<void()> work)
{
    if (g_openScopes == 0 && g_kept.empty()) {
        work();
        return;
    }
    g_kept.push_back({QPointer<QObject>(context), std::move(work)});
}

} // namespace loopwren::mainqueue
