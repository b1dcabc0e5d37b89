#include "paddedfile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace loopwren {
namespace {

// Below this, copying costs less than setting up a mapping.
constexpr std::size_t kMapThreshold = std::size_t{4} << 20;

class FileDescriptor
{
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

PaddedFile::PaddedFile(const std::string& path)
{
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        setError(path, errno);
        return;
    }
    struct stat info = {};
    if (::fstat(fd.get(), &info) != 0) {
        setError(path, errno);
        return;
    }
    if (S_ISDIR(info.st_mode)) {
        setError(path, EISDIR);
        return;
    }
    const auto size = static_cast<std::size_t>(info.st_size);
    if (S_ISREG(info.st_mode) && size >= kMapThreshold && map(fd.get(), size))
        return;
    read(fd.get(), size, path);
}

PaddedFile::~PaddedFile()
{
    if (m_mapping)
        ::munmap(m_mapping, m_mappingSize);
}

simdjson::padded_string_view PaddedFile::text() const
{
    return simdjson::padded_string_view(m_data, m_size, m_capacity);
}

bool PaddedFile::map(int fd, std::size_t size)
{
    // Reserve room for the text and its padding, then lay the file over the start. Past the end of the file
    // the kernel supplies zeroes: the rest of the file's last page, then the anonymous pages behind it.
    // A file truncated by another process while it is mapped would fault on access. Saving by writing a
    // new file and renaming it over the old one, as editors do, leaves a mapped file intact.
    const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const std::size_t total = (size + simdjson::SIMDJSON_PADDING + page - 1) / page * page;
    void* base = ::mmap(nullptr, total, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (base == MAP_FAILED)
        return false;
    if (::mmap(base, size, PROT_READ, MAP_PRIVATE | MAP_FIXED | MAP_POPULATE, fd, 0) == MAP_FAILED) {
        ::munmap(base, total);
        return false;
    }
    m_mapping = base;
    m_mappingSize = total;
    m_data = static_cast<const char*>(base);
    m_size = size;
    m_capacity = total;
    return true;
}

void PaddedFile::read(int fd, std::size_t sizeHint, const std::string& path)
{
    // The size is only a hint: special files report 0, and a file may grow while it is read.
    std::size_t capacity = sizeHint > 0 ? sizeHint : 64 * 1024;
    std::size_t filled = 0;
    simdjson::padded_string buffer(capacity);
    auto readSome = [fd](char* into, std::size_t bytes) {
        ssize_t n;
        do
            n = ::read(fd, into, bytes);
        while (n < 0 && errno == EINTR);
        return n;
    };
    for (;;) {
        if (buffer.data() == nullptr) {
            setError(path, ENOMEM);
            return;
        }
        char probe[4096];
        const bool full = filled == capacity;
        const ssize_t n =
            full ? readSome(probe, sizeof probe) : readSome(buffer.data() + filled, capacity - filled);
        if (n < 0) {
            setError(path, errno);
            return;
        }
        if (n == 0)
            break;
        if (full) {
            capacity = std::max(capacity * 2, filled + static_cast<std::size_t>(n));
            simdjson::padded_string larger(capacity);
            if (larger.data() != nullptr) {
                std::memcpy(larger.data(), buffer.data(), filled);
                std::memcpy(larger.data() + filled, probe, static_cast<std::size_t>(n));
            }
            buffer.swap(larger);
        }
        filled += static_cast<std::size_t>(n);
    }
    std::memset(buffer.data() + filled, 0, capacity - filled);
    m_copy.swap(buffer);
    m_data = m_copy.data();
    m_size = filled;
    m_capacity = capacity + simdjson::SIMDJSON_PADDING;
}

void PaddedFile::setError(const std::string& path, int error)
{
    m_error = "cannot read " + path + ": " + std::strerror(error);
}

} // namespace loopwren
