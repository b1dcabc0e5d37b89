#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

namespace loopwren {

struct FetchResult
{
    std::optional<QByteArray> data;
    QString error; // empty when the request succeeded
};

// Fetches one document by GET. The completion may run on any thread.
class UpdateFetcher
{
public:
    virtual ~UpdateFetcher() = default;

    virtual void fetch(const QString& url, std::function<void(FetchResult)> completion) = 0;
};

} // namespace loopwren
