#pragma once

#include <QString>

namespace loopwren {

// One line of `loopwren-cli doctor`: what was looked at, what was found and, where something stands in
// the way, what the user can do about it.
struct SessionCheck
{
    enum class Verdict
    {
        fine,
        lacking,
        note // says how things are, neither good nor bad
    };

    Verdict verdict = Verdict::note;
    QString subject;
    QString finding;
    QString remedy;
};

} // namespace loopwren
