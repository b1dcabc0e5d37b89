#include "player.h"

#include "mainqueue.h"

namespace loopwren {

Player::Player(InputPosterFactory& posters, PlaybackClock& clock, Hooks hooks)
    : m_posters(posters), m_clock(clock), m_hooks(std::move(hooks))
{
}

// The worker must not outlive the poster factory and the clock it uses.
Player::~Player() { m_worker.reset(); }

void Player::start(PlaybackPlan plan)
{
    const std::uint64_t generation = ++m_generation;
    m_stopped = false;
    m_worker.reset();
    m_worker = std::make_unique<PlaybackWorker>(
        std::move(plan), m_posters.create(), m_clock,
        [this, generation](std::size_t index) {
            mainqueue::postAfterModal(this, [this, generation, index] {
                if (generation == m_generation && !m_stopped)
                    m_hooks.indexReached(index);
            });
        },
        [this, generation] {
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
