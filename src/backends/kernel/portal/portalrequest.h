#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <QVariantMap>
#include <functional>

namespace loopwren {

// One call to a desktop portal that answers later, through the Response signal of a request object
// whose path the caller chooses with a token. The signal is listened for before the call goes out,
// so an answer sent at once is not missed.
class PortalRequest : public QObject
{
    Q_OBJECT

public:
    // granted: the portal did what was asked; otherwise why names the refusal (the user cancelled, the
    // portal failed, the call itself failed) for a log line.
    using Answered = std::function<void(bool granted, const QVariantMap& results, const QString& why)>;

    // call's last argument is its options map, to which the request's token is added.
    PortalRequest(QDBusConnection bus, QDBusMessage call, Answered answered, QObject* parent = nullptr);
    ~PortalRequest() override;

private slots:
    void response(uint code, const QVariantMap& results);

private:
    void listen(const QString& path);
    void stopListening();
    void answer(bool granted, const QVariantMap& results, const QString& why);

    QDBusConnection m_bus;
    QString m_service;
    QString m_path;
    Answered m_answered;
};

} // namespace loopwren
