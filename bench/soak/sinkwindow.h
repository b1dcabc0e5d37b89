#pragma once

#include "x11connection.h"

#include <memory>
#include <string>

namespace loopwren::bench {

// Where a soak's synthetic input lands: an unmanaged, invisible window over the whole root that holds
// the keyboard grab and takes every click, so no keystroke or click reaches a terminal, the window
// manager or anything else. It throws away what it receives; call drain() regularly so the server
// never has to queue it up. Its connection can ask the server which keys and buttons are held.
class SinkWindow
{
public:
    // nullptr, with the reason in *problem, when the window cannot be made or cannot grab the keyboard.
    static std::unique_ptr<SinkWindow> open(std::string* problem);
    ~SinkWindow();
    SinkWindow(const SinkWindow&) = delete;
    SinkWindow& operator=(const SinkWindow&) = delete;

    void drain();
    void movePointer(int rootX, int rootY);
    // The sink's own connection, for asking the server what it holds.
    X11Connection& connection() { return *m_connection; }
    bool isBroken() const { return m_connection->isBroken(); }

private:
    SinkWindow(std::unique_ptr<X11Connection> connection, unsigned long window);

    std::unique_ptr<X11Connection> m_connection;
    unsigned long m_window; // an X Window id
};

} // namespace loopwren::bench
