#pragma once

#include <QString>
#include <cstdint>
#include <mutex>

namespace loopwren {

// One player at a time in a session: two at once would post every key twice. Whoever plays holds an
// advisory lock (flock) on a file in the user's runtime folder, which the window and loopwren-cli share;
// the kernel lets it go when the process ends, however it ends, so a crashed player never blocks the
// next one.
class PlaybackSessionLock
{
public:
    struct Claim
    {
        std::uint64_t ticket = 0;
        QString refusal; // empty when this player may play
    };

    // The session's lock file: in $XDG_RUNTIME_DIR, else in /tmp/loopwren-UID.
    static QString sessionPath();

    explicit PlaybackSessionLock(QString path);
    ~PlaybackSessionLock();
    PlaybackSessionLock(const PlaybackSessionLock&) = delete;
    PlaybackSessionLock& operator=(const PlaybackSessionLock&) = delete;

    // Takes the lock for a new playback, or keeps it where this player's last playback still holds it.
    // A lock file that cannot be opened does not stand in the way: it protects against a second player,
    // it is no reason to play nothing.
    Claim claim();
    // Lets the lock go, unless a later claim has taken it over; from any thread.
    void release(std::uint64_t ticket);

private:
    std::mutex m_mutex;
    QString m_path;
    int m_fd = -1;
    std::uint64_t m_ticket = 0;
};

} // namespace loopwren
