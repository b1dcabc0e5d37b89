#pragma once

namespace loopwren {

// Counts whole scroll notches in a stream of partial scroll amounts along one axis: a high-resolution
// wheel reports fractions of a notch, a touchpad reports distances. What does not make a whole notch
// yet is kept for the next amount. A turn in the other direction starts afresh, as the kernel does
// for high-resolution wheels, so a small movement back does not first have to undo the rest.
class NotchCounter
{
public:
    explicit NotchCounter(double unitsPerNotch) : m_unitsPerNotch(unitsPerNotch) {}

    // The whole notches completed, signed like the amounts.
    int add(double amount);
    // Forgets the rest, at the end of a scroll sequence.
    void reset() { m_rest = 0.0; }

private:
    double m_unitsPerNotch;
    double m_rest = 0.0;
};

} // namespace loopwren
