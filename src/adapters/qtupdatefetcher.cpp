#include "qtupdatefetcher.h"

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#include <algorithm>

namespace loopwren {
namespace {

// QNetworkReply reports an HTTP error status (404, 500, …) as an error, but the server did answer:
// such a response is delivered with its body, as any HTTP client that does not judge statuses would.
bool isHttpStatusError(QNetworkReply::NetworkError error)
{
    const int code = static_cast<int>(error);
    return (code >= QNetworkReply::ContentAccessDenied && code < QNetworkReply::ProtocolUnknownError) ||
           error == QNetworkReply::ProtocolInvalidOperationError || // status 400
           (code >= QNetworkReply::InternalServerError && code <= QNetworkReply::UnknownServerError);
}

} // namespace

QtUpdateFetcher::QtUpdateFetcher(Limits limits)
    : m_limits(limits), m_network(std::make_unique<QNetworkAccessManager>()),
      m_alive(std::make_shared<bool>(true))
{
}

QtUpdateFetcher::QtUpdateFetcher() : QtUpdateFetcher(Limits{}) {}

QtUpdateFetcher::~QtUpdateFetcher()
{
    // Requests still running end without their completion: the one who asked goes away with us. The
    // network manager deletes their replies after this, and they may still signal on the way out.
    m_alive.reset();
}

void QtUpdateFetcher::fetch(const QString& url, std::function<void(FetchResult)> completion)
{
    QNetworkReply* reply = m_network->get(QNetworkRequest(QUrl(url)));
    // Set before the event loop runs again, so Qt never reads more than this ahead of us.
    reply->setReadBufferSize(kReadBufferBytes);
    ++m_pending;

    struct Transfer
    {
        QByteArray body;
        QString failure; // the first reason to give up wins
    };
    auto transfer = std::make_shared<Transfer>();
    // abort() ends the reply with a cancellation of its own, which the failure reason replaces.
    const auto giveUp = [reply, transfer](const QString& reason) {
        if (!transfer->failure.isEmpty())
            return;
        transfer->failure = reason;
        reply->abort();
    };
    const qint64 maxBytes = m_limits.maxBytes;
    const QString tooLarge = QStringLiteral("The response is larger than %1 bytes.").arg(maxBytes);

    auto* deadline = new QTimer(reply);
    deadline->setSingleShot(true);
    QObject::connect(deadline, &QTimer::timeout, reply,
                     [giveUp] { giveUp(QStringLiteral("The request timed out.")); });
    deadline->start(m_limits.timeout);

    // An announced length over the cap ends the request before its body is read at all.
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [reply, giveUp, tooLarge, maxBytes] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > maxBytes)
            giveUp(tooLarge);
    });
    // Each chunk moves into our buffer, which frees the reply's for the next one; a compressed body
    // is counted as it unpacks. Qt may hand over more than its read buffer at once when the main thread
    // falls behind, so never more than one byte past the cap is taken: enough to know it was passed.
    const std::weak_ptr<bool> alive = m_alive;
    const auto drain = [this, alive, reply, transfer, giveUp, tooLarge, maxBytes] {
        if (!transfer->failure.isEmpty())
            return;
        transfer->body += reply->read(maxBytes + 1 - transfer->body.size());
        if (!alive.expired())
            m_mostBytesHeld = std::max(m_mostBytesHeld, qint64(transfer->body.size()));
        if (transfer->body.size() > maxBytes) {
            transfer->body.clear();
            giveUp(tooLarge);
        }
    };
    QObject::connect(reply, &QNetworkReply::readyRead, reply, drain);

    QObject::connect(reply, &QNetworkReply::finished, reply,
                     [this, alive, reply, deadline, transfer, drain, completion = std::move(completion)] {
                         deadline->stop();
                         reply->deleteLater();
                         if (alive.expired())
                             return;
                         --m_pending;
                         drain();
                         FetchResult result;
                         if (!transfer->failure.isEmpty()) {
                             result.error = transfer->failure;
                         } else if (reply->error() != QNetworkReply::NoError &&
                                    !(isHttpStatusError(reply->error()) &&
                                      reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid())) {
                             result.error = reply->errorString();
                         } else {
                             result.data = std::move(transfer->body);
                         }
                         completion(std::move(result));
                     });
}

} // namespace loopwren
