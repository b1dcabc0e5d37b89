#pragma once

#include "x11connection.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace loopwren {

// An independent witness of synthesised input: a borderless window covering the whole root window,
// on top and holding the keyboard grab (or only the keyboard focus, as an ordinary application does),
// that logs every core input event it receives as a line, e.g.
// "motion 300,300", "button 1 down 310,310 [Shift]", "key v down [Mod4]". The bracketed list is the
// event's state: the modifiers and buttons held before it.
class ProbeWindow
{
public:
    enum class Keyboard
    {
        grab,  // every key press reaches the probe, whatever has the focus
        focus, // key presses reach it as the focused window, unless someone grabs the keyboard
    };
    // nullptr (with the reason in *problem) when the window cannot be shown or cannot get the keyboard.
    static std::unique_ptr<ProbeWindow> open(std::string* problem, Keyboard keyboard = Keyboard::grab);
    ~ProbeWindow();
    ProbeWindow(const ProbeWindow&) = delete;
    ProbeWindow& operator=(const ProbeWindow&) = delete;

    // Puts the pointer at a root position through the probe's own connection and forgets all logged
    // lines, so a test starts from a known place whatever earlier tests left behind.
    void resetPointer(int rootX, int rootY);
    // Everything logged so far, once at least count lines are there or the timeout has passed; input
    // arriving shortly after the count is reached is included too, so extra lines show up.
    std::vector<std::string> waitForLines(std::size_t count,
                                          std::chrono::milliseconds timeout = std::chrono::seconds(30));
    // Forgets what was logged so far.
    void clear();

private:
    ProbeWindow(std::unique_ptr<X11Connection> connection, unsigned long window);
    void readPending();

    std::unique_ptr<X11Connection> m_connection;
    unsigned long m_window; // an X Window id
    std::vector<std::string> m_lines;
};

} // namespace loopwren
