#pragma once

#include "macroengine.h"

#include <QObject>
#include <map>
#include <vector>

namespace loopwren {

// Watches the input a window receives and remembers the press and release of the latest activation,
// a click or a key that went down and up, with the window system's own times: those are the inputs
// that pressed a button, which the recording's capture saw too and can recognise by the same times.
class ActivationWitness : public QObject
{
public:
    using QObject::QObject;

    // The press and release of the input that finished last, in the order they happened.
    std::vector<InputStamp> lastActivation() const { return m_lastActivation; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::uint32_t m_lastPress = 0;
    std::map<int, std::uint32_t> m_keyPresses;
    std::vector<InputStamp> m_lastActivation;
};

} // namespace loopwren
