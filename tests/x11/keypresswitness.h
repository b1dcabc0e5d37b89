#pragma once

#include "x11connection.h"

#include <memory>

namespace loopwren {

// Counts the KeyPress events the server processes for one key, autorepeats included and whoever
// receives them, through a RECORD context of its own: an independent witness that a key was really
// held and repeated while a hotkey grab swallowed it.
class KeyPressWitness
{
public:
    static std::unique_ptr<KeyPressWitness> start(unsigned keycode);
    ~KeyPressWitness();
    KeyPressWitness(const KeyPressWitness&) = delete;
    KeyPressWitness& operator=(const KeyPressWitness&) = delete;

    // Takes in what the server has reported so far.
    int presses();
    // For the RECORD callback.
    void seen(unsigned type, unsigned keycode);

private:
    KeyPressWitness(std::unique_ptr<X11Connection> control, std::unique_ptr<X11Connection> data,
                    unsigned long context, unsigned keycode);

    std::unique_ptr<X11Connection> m_control;
    std::unique_ptr<X11Connection> m_data;
    unsigned long m_context;
    unsigned m_keycode;
    int m_presses = 0;
};

} // namespace loopwren
