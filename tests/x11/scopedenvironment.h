#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace loopwren {

// Environment variables changed for the length of a test, put back as they were on destruction.
class ScopedEnvironment
{
public:
    ScopedEnvironment() = default;
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

    void set(const std::string& name, const std::string& value);
    void unset(const std::string& name);

private:
    void remember(const std::string& name);

    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

} // namespace loopwren
