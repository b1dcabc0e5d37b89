#pragma once

#include <QString>
#include <cstdint>

namespace loopwren {

// What became of a request to a desktop service: done, or refused with the service's own number (X's
// error code, an errno, a portal's response code), which is what a log line reports, and a reason a
// person can read.
struct ServiceResult
{
    std::int64_t code = 0;
    QString reason;

    bool ok() const { return code == 0; }
    static ServiceResult done() { return {}; }
    static ServiceResult refused(std::int64_t code, QString reason) { return {code, std::move(reason)}; }
};

} // namespace loopwren
