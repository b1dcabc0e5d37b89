#include "player.h"

#include "logline.h"
#include "mainqueue.h"

#include <atomic>
#include <memory>

namespace loopwren {
namespace {

constexpr int kNamedAtMost = 10;

// The newest index the worker reached, and whether a notice is on its way to the main thread to tell
// it. The notice clears the flag with an exchange, which reads the worker's own: so it sees every index
// stored before a worker found the flag set and posted nothing.
struct ReachedIndex
{
    std::atomic<std::size_t> latest{0};
    std::atomic<bool> pending{false};
};

// "event 4 at 2500,300, event 5 at 2500,300 (and 3 more)"
QString named(const QStringList& events)
{
    QString text = events.mid(0, kNamedAtMost).join(QStringLiteral(", "));
    if (events.size() > kNamedAtMost)
        text += QStringLiteral(" (and %1 more)").arg(events.size() - kNamedAtMost);
    return text;
}

// A macro made on another desktop, or before a screen went, can hold places no screen shows: the
// playback goes on, and the user learns which events land elsewhere. Events are numbered as the rows.
void reportOffScreen(const Timeline& events, const InputPoster& poster)
{
    QStringList moved;
    QStringList skipped;
    for (std::size_t i = 0; i < events.size(); ++i) {
        const MacroEvent& event = events[i];
        const bool pointer = event.type == EventType::mouseDown || event.type == EventType::mouseUp ||
                             event.type == EventType::mouseMoved;
        if (!pointer || !event.location)
            continue;
        const PointerReach reach = poster.reach(*event.location);
        if (reach == PointerReach::onScreen)
            continue;
        (reach == PointerReach::offScreen ? moved : skipped)
            .append(
                QStringLiteral("event %1 at %2,%3").arg(i + 1).arg(event.location->x).arg(event.location->y));
    }
    QStringList parts;
    if (!moved.isEmpty())
        parts.append(named(moved) +
                     QStringLiteral(": played where no screen shows it, or at a screen's edge"));
    if (!skipped.isEmpty())
        parts.append(named(skipped) + QStringLiteral(": skipped, no screen layout being known"));
    if (!parts.isEmpty())
        logLine(QStringLiteral("Pointer input off every screen: "), parts.join(QStringLiteral("; ")));
}

} // namespace

Player::Player(InputPosterFactory& posters, PlaybackClock& clock, Hooks hooks, const QString& lockPath)
    : m_posters(posters), m_clock(clock), m_hooks(std::move(hooks)),
      m_lock(lockPath.isEmpty() ? nullptr : std::make_unique<PlaybackSessionLock>(lockPath))
{
}

// The worker must not outlive the poster factory and the clock it uses.
Player::~Player() { m_worker.reset(); }

QString Player::claim()
{
    if (!m_lock)
        return QString();
    const PlaybackSessionLock::Claim claim = m_lock->claim();
    m_claim = claim.ticket;
    return claim.refusal;
}

void Player::start(PlaybackPlan plan)
{
    const std::uint64_t generation = ++m_generation;
    m_stopped = false;
    m_worker.reset();
    std::unique_ptr<InputPoster> poster = m_posters.create();
    if (poster)
        reportOffScreen(plan.events, *poster);
    m_worker = std::make_unique<PlaybackWorker>(
        std::move(plan), std::move(poster), m_clock,
        [this, generation, reached = std::make_shared<ReachedIndex>()](std::size_t index) {
            // One notice in flight at a time, which tells the index reached when it runs: a fast
            // playback does not wake the main thread for every input, nor pile up work before a stop.
            reached->latest.store(index, std::memory_order_relaxed);
            if (reached->pending.exchange(true, std::memory_order_acq_rel))
                return;
            mainqueue::postAfterModal(this, [this, generation, reached] {
                reached->pending.exchange(false, std::memory_order_acq_rel);
                const std::size_t latest = reached->latest.load(std::memory_order_relaxed);
                if (generation == m_generation && !m_stopped)
                    m_hooks.indexReached(latest);
            });
        },
        [this, generation, claim = m_claim] {
            // Once everything pressed is released, whatever the main thread is busy with.
            if (m_lock)
                m_lock->release(claim);
            mainqueue::postAfterModal(this, [this, generation] {
                if (generation == m_generation)
                    m_hooks.finished();
            });
        });
}

void Player::stop()
{
    m_stopped = true;
    if (m_worker)
        m_worker->cancel();
}

} // namespace loopwren
