#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>

namespace loopwren::cli {

// Turns SIGINT and SIGTERM into a Qt signal on the main thread, so a stop request can end a
// recording or playback cleanly (files written, keys released) instead of killing the process.
class SignalWatcher : public QObject
{
    Q_OBJECT

public:
    explicit SignalWatcher(QObject* parent = nullptr);
    ~SignalWatcher() override;

signals:
    void signalled(int signalNumber);

private:
    void readSignal();

    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace loopwren::cli
