#pragma once

#include <simdjson.h>

#include <cstddef>
#include <string>

namespace loopwren {

// The whole text of a file, followed by the readable padding simdjson needs after a document.
// Large files are mapped rather than copied: the text then comes straight from the page cache, which
// for a macro of millions of events saves both the copy and the faults of a fresh buffer. Smaller and
// special files (pipes, /proc) are read into memory.
class PaddedFile
{
public:
    explicit PaddedFile(const std::string& path);
    ~PaddedFile();
    PaddedFile(const PaddedFile&) = delete;
    PaddedFile& operator=(const PaddedFile&) = delete;

    bool ok() const { return m_error.empty(); }
    // Why the file could not be loaded, e.g. "cannot read /x/y.json: No such file or directory".
    const std::string& error() const { return m_error; }
    simdjson::padded_string_view text() const;

private:
    bool map(int fd, std::size_t size);
    void read(int fd, std::size_t sizeHint, const std::string& path);
    void setError(const std::string& path, int error);

    void* m_mapping = nullptr;
    std::size_t m_mappingSize = 0;
    simdjson::padded_string m_copy;
    const char* m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
    std::string m_error;
};

} // namespace loopwren
