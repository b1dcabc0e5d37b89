#include "passtally.h"

#include <cmath>

namespace loopwren::bench {
namespace {

std::string describe(InputKind kind, std::uint16_t keyCode, Point location)
{
    return "kind " + std::to_string(static_cast<int>(kind)) + " key " + std::to_string(keyCode) + " at " +
           std::to_string(std::lround(location.x)) + "," + std::to_string(std::lround(location.y));
}

bool isKey(InputKind kind) { return kind == InputKind::keyDown || kind == InputKind::keyUp; }

} // namespace

PassTally::PassTally(std::vector<ExpectedInput> expected) : m_expected(std::move(expected)) {}

void PassTally::add(const std::vector<InputEvent>& batch)
{
    std::lock_guard lock(m_mutex);
    for (const InputEvent& input : batch) {
        if (input.kind == InputKind::modifiersChanged)
            continue;
        if (isPassMarker(input))
            startPass(input.timestamp);
        if (!m_inPass) {
            ++m_summary.strays;
            continue;
        }
        ++m_summary.received;
        check(input);
    }
}

void PassTally::startPass(Clock::time_point at)
{
    if (m_inPass) {
        if (m_position != m_expected.size())
            fault("ended after " + std::to_string(m_position) + " of " + std::to_string(m_expected.size()) +
                  " inputs");
        if (m_passFaulty) {
            ++m_summary.faultyPasses;
            if (m_summary.firstFault.empty())
                m_summary.firstFault = m_passFault;
        } else
            ++m_summary.completePasses;
        m_summary.passSeconds.push_back(std::chrono::duration<double>(at - m_passStart).count());
        ++m_passNumber;
    }
    m_inPass = true;
    m_passFaulty = false;
    m_passFault.clear();
    m_position = 0;
    m_passStart = at;
}

void PassTally::check(const InputEvent& input)
{
    const std::size_t index = m_position++;
    m_summary.interruptedAt = m_position;
    if (index == 0)
        m_summary.interruptedMatched = 0;
    if (index >= m_expected.size()) {
        fault("an input beyond the last: " +
              describe(input.kind, input.keyCode, input.location.value_or(Point{})));
        return;
    }
    const ExpectedInput& wanted = m_expected[index];
    const Point at = input.location.value_or(Point{});
    const bool same = wanted.kind == input.kind && wanted.button == input.button &&
                      (isKey(wanted.kind) ? wanted.keyCode == input.keyCode
                                          : wanted.location.x == at.x && wanted.location.y == at.y);
    if (same && !m_passFaulty)
        m_summary.interruptedMatched = m_position;
    if (!same)
        fault("input " + std::to_string(index + 1) + " is " + describe(input.kind, input.keyCode, at) +
              ", expected " + describe(wanted.kind, wanted.keyCode, wanted.location));
}

void PassTally::fault(const std::string& what)
{
    // Judged when the pass ends: the one the stop cuts short ends with the releases of what it held.
    if (!m_passFaulty)
        m_passFault = "pass " + std::to_string(m_passNumber + 1) + ": " + what;
    m_passFaulty = true;
}

PassTally::Summary PassTally::summary() const
{
    std::lock_guard lock(m_mutex);
    Summary copy = m_summary;
    // The pass under way is neither complete nor faulty yet.
    if (!m_inPass) {
        copy.interruptedAt = 0;
        copy.interruptedMatched = 0;
    }
    return copy;
}

} // namespace loopwren::bench
