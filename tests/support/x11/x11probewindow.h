#pragma once

#include "x11testclient.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace loopwren {

// Where synthetic input lands in tests and benchmarks, so that none of it reaches a terminal, the
// window manager or anything else: an unmanaged, input-only window over the whole root, on top, that
// holds the keyboard grab (or only the keyboard focus, as an ordinary application does). It logs every
// core input event it receives as a line, e.g. "motion 300,300", "button 1 down 310,310 [Shift]",
// "key v down [Mod4]"; the bracketed list is the state before the event: modifiers and buttons held.
class X11ProbeWindow
{
public:
    enum class Keyboard
    {
        grab,  // every key press reaches the window, whatever has the focus
        focus, // key presses reach it as the focused window, unless someone grabs the keyboard
    };
    // nullptr (with the reason in *problem) when the window cannot be shown or cannot get the keyboard.
    static std::unique_ptr<X11ProbeWindow> open(std::string* problem, Keyboard keyboard = Keyboard::grab);
    ~X11ProbeWindow();
    X11ProbeWindow(const X11ProbeWindow&) = delete;
    X11ProbeWindow& operator=(const X11ProbeWindow&) = delete;

    // Puts the pointer at a root position and forgets everything logged, so that what follows starts
    // from a known place whatever came before.
    void movePointer(int rootX, int rootY);
    // Everything logged so far, once at least count lines are there (and input that follows within a
    // moment, so extra lines show up) or the timeout has passed.
    std::vector<std::string> waitForLines(std::size_t count,
                                          std::chrono::milliseconds timeout = std::chrono::seconds(30));
    // Reads what the server has sent and forgets all of it; a long run calls it regularly so the
    // server never has to queue the input up.
    void clear();
    // The window's own client, for asking the server what it holds.
    x11test::X11TestClient& client() { return m_client; }
    X11Connection& connection() { return m_client.connection(); }

private:
    X11ProbeWindow() = default;
    void read(bool log);

    x11test::X11TestClient m_client;
    unsigned long m_window = 0; // an X Window id
    std::vector<std::string> m_lines;
};

} // namespace loopwren
