#pragma once

#include <QObject>
#include <QString>

#include <functional>

namespace loopwren {

// The object LoopWren's KWin script calls back on the session bus. It lives in a thread of its own, so
// answers arrive while the thread that asked waits for them.
class KWinBridgeEndpoint : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "io.github.loopwren.KWinBridge")

public:
    using Receiver = std::function<void(const QString& token, const QString& text)>;

    KWinBridgeEndpoint(Receiver pointer, Receiver answer)
        : m_pointer(std::move(pointer)), m_answer(std::move(answer))
    {
    }

public Q_SLOTS:
    // "x y" in KWin's logical coordinates (whole numbers on Plasma 5, fractions on Plasma 6).
    Q_SCRIPTABLE void pointer(const QString& token, const QString& position) { m_pointer(token, position); }
    // The JSON result of the request the token names.
    Q_SCRIPTABLE void answer(const QString& token, const QString& result) { m_answer(token, result); }

private:
    Receiver m_pointer;
    Receiver m_answer;
};

} // namespace loopwren
