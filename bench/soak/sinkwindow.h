#pragma once

#include "x11connection.h"

#include <memory>
#include <string>
#include <vector>

namespace loopwren::bench {

// Where a soak's synthetic input lands: an unmanaged, invisible window over the whole root that holds
// the keyboard grab and takes every click, so no keystroke or click reaches a terminal, the window
// manager or anything else. It throws away what it receives; call drain() regularly so the server
// never has to queue it up. It also tells which keys and buttons the server sees held.
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
    // X keycodes the server has down right now (XQueryKeymap).
    std::vector<unsigned> heldKeycodes();
    // Pointer buttons 1 to 5 the server has down right now.
    std::vector<unsigned> heldButtons();
    bool isBroken() const { return m_connection->isBroken(); }

private:
    SinkWindow(std::unique_ptr<X11Connection> connection, unsigned long window);

    std::unique_ptr<X11Connection> m_connection;
    unsigned long m_window; // an X Window id
};

} // namespace loopwren::bench
