#pragma once

#include "updatefetcher.h"

#include <QNetworkAccessManager>
#include <chrono>
#include <memory>

namespace loopwren {

// Fetches the version document over HTTP(S) with Qt's network stack, on the thread that owns the
// fetcher (the main thread in the application), so the completion runs there too.
//
// The document is a few hundred bytes, so a response is held to a size cap and a whole-request
// deadline: a misconfigured or hostile server can neither fill the memory nor keep a request alive
// forever. The cap holds by construction, however fast the server sends: the reply's own read buffer
// is small, so TCP flow control holds the sender back while the body waits in it, and every chunk is
// moved at once into the fetcher's buffer, which ends the request as soon as it passes the cap.
//
// An HTTP error status is not a failure here: its body is handed on like any other, and the caller's
// JSON parsing decides (an HTML error page then reads as a document that does not parse).
class QtUpdateFetcher : public UpdateFetcher
{
public:
    struct Limits
    {
        // From sending the request to the last byte of the response.
        std::chrono::milliseconds timeout{15000};
        qint64 maxBytes = 1024 * 1024;
    };
    // What Qt may read ahead of the fetcher for one reply.
    static constexpr qint64 kReadBufferBytes = 64 * 1024;

    explicit QtUpdateFetcher(Limits limits);
    QtUpdateFetcher();
    ~QtUpdateFetcher() override;

    void fetch(const QString& url, std::function<void(FetchResult)> completion) override;

    // Requests started and not yet completed.
    int pendingRequests() const { return m_pending; }
    // The most body bytes one request ever held in the fetcher's buffer: at most one past the cap.
    qint64 mostBytesHeld() const { return m_mostBytesHeld; }

private:
    Limits m_limits;
    std::unique_ptr<QNetworkAccessManager> m_network;
    // Expires when the fetcher is destroyed, so a reply finishing during the teardown finds no one.
    std::shared_ptr<bool> m_alive;
    int m_pending = 0;
    qint64 m_mostBytesHeld = 0;
};

} // namespace loopwren
