#include "qtupdatefetcher.h"

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

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
    ++m_pending;

    // The first reason to give up wins; abort() then ends the reply with a cancellation of its own.
    auto failure = std::make_shared<QString>();
    const auto giveUp = [reply, failure](const QString& reason) {
        if (!failure->isEmpty())
            return;
        *failure = reason;
        reply->abort();
    };
    const qint64 maxBytes = m_limits.maxBytes;
    const QString tooLarge = QStringLiteral("The response is larger than %1 bytes.").arg(maxBytes);

    auto* deadline = new QTimer(reply);
    deadline->setSingleShot(true);
    QObject::connect(deadline, &QTimer::timeout, reply,
                     [giveUp] { giveUp(QStringLiteral("The request timed out.")); });
    deadline->start(m_limits.timeout);

    // An announced length over the cap ends the request before its body is read at all; a body without
    // one is cut off as soon as it grows past the cap. That is watched on readyRead, which comes with
    // every chunk: downloadProgress comes at most every 100 ms, and a fast server sends tens of
    // megabytes in that time, all of which the reply would hold.
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [reply, giveUp, tooLarge, maxBytes] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > maxBytes)
            giveUp(tooLarge);
    });
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [reply, giveUp, tooLarge, maxBytes] {
        if (reply->bytesAvailable() > maxBytes)
            giveUp(tooLarge);
    });

    const std::weak_ptr<bool> alive = m_alive;
    QObject::connect(
        reply, &QNetworkReply::finished, reply,
        [this, alive, reply, deadline, failure, tooLarge, maxBytes, completion = std::move(completion)] {
            deadline->stop();
            reply->deleteLater();
            if (alive.expired())
                return;
            --m_pending;
            FetchResult result;
            if (!failure->isEmpty()) {
                result.error = *failure;
            } else if (reply->error() != QNetworkReply::NoError &&
                       !(isHttpStatusError(reply->error()) &&
                         reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid())) {
                result.error = reply->errorString();
            } else {
                QByteArray body = reply->readAll();
                // A compressed body can grow past the cap only once it is unpacked.
                if (body.size() > maxBytes)
                    result.error = tooLarge;
                else
                    result.data = std::move(body);
            }
            completion(std::move(result));
        });
}

} // namespace loopwren
