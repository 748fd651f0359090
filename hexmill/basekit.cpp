#include "basekit.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Every result length must come back as a non-negative long.
constexpr size_t kMaxCount = size_t(LONG_MAX) - 1;

// Temporary names of files being written get a per-process counter, so two
// coders in one process never pick the same name.
std::atomic<unsigned> tempCounter{0};

int closeChecked(int fd)
{
    return ::close(fd) == 0 || errno == EINTR ? 0 : -1;
}

// Writes all `count` bytes to `fd`; false on a write error.
bool writeAll(int fd, const char *p, size_t count)
{
    while (count > 0) {
        const ssize_t put = ::write(fd, p, count);
        if (put < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += put;
        count -= size_t(put);
    }
    return true;
}

// Writes the file itself: a FIFO or device, or a file in a folder where no
// temporary file can be made.
long writeInPlace(const std::string &target, const char *data, size_t count, bool regular)
{
    const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | (regular ? O_TRUNC : 0), 0666);
    if (fd < 0)
        return BASEKIT_CREATE_FAILED;
    bool ok = writeAll(fd, data, count);
    if (ok && regular && ::fsync(fd) != 0 && errno != EINVAL && errno != EROFS)
        ok = false;
    if (closeChecked(fd) != 0)
        ok = false;
    return ok ? 0L : long(BASEKIT_WRITE_FAILED);
}

} // namespace

long CBasekit::Smalloc(char **ptr, size_t count)
{
    if (!ptr)
        return BASEKIT_BAD_ARGUMENT;
    if (count > kMaxCount)
        return BASEKIT_TOO_LARGE;
    char *p = static_cast<char *>(std::malloc(count ? count : 1));
    if (!p)
        return BASEKIT_NO_MEMORY;
    *ptr = p;
    return long(count);
}

long CBasekit::SmallocChar(char **ptr, size_t count)
{
    if (!ptr)
        return BASEKIT_BAD_ARGUMENT;
    if (count > kMaxCount)
        return BASEKIT_TOO_LARGE;
    char *p = static_cast<char *>(std::calloc(count ? count : 1, 1));
    if (!p)
        return BASEKIT_NO_MEMORY;
    *ptr = p;
    return long(count);
}

long CBasekit::SmemCpy(char **ptr, size_t count, const void *source)
{
    if (!ptr || (!source && count))
        return BASEKIT_BAD_ARGUMENT;
    char *p = nullptr;
    const long rc = Smalloc(&p, count);
    if (rc < 0)
        return rc;
    if (count)
        std::memcpy(p, source, count);
    *ptr = p;
    return long(count);
}

long CBasekit::SmemCpyChar(char **ptr, size_t count, const void *source)
{
    if (!ptr || (!source && count))
        return BASEKIT_BAD_ARGUMENT;
    if (count > kMaxCount - 1)
        return BASEKIT_TOO_LARGE;
    char *p = nullptr;
    const long rc = Smalloc(&p, count + 1);
    if (rc < 0)
        return rc;
    if (count)
        std::memcpy(p, source, count);
    p[count] = '\0';
    *ptr = p;
    return long(count);
}

long CBasekit::SmemStrCpy(char **ptr, const char *source)
{
    if (!ptr || !source)
        return BASEKIT_BAD_ARGUMENT;
    return SmemCpyChar(ptr, std::strlen(source), source);
}

void CBasekit::Sfree(char **ptr)
{
    if (!ptr)
        return;
    std::free(*ptr);
    *ptr = nullptr;
}

long CBasekit::SFileRead(const char *path, char **ptr)
{
    if (!path || !ptr)
        return BASEKIT_BAD_ARGUMENT;
    int fd;
    do {
        fd = ::open(path, O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return BASEKIT_OPEN_FAILED;

    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        return BASEKIT_OPEN_FAILED;
    }
    // Regular files are read in one go; anything else (a pipe) grows as it
    // comes. The size is only a hint: the file may change while it is read.
    size_t capacity = S_ISREG(st.st_mode) && st.st_size > 0 ? size_t(st.st_size) : 4096;
    if (uint64_t(st.st_size) > kMaxCount - 1) {
        ::close(fd);
        return BASEKIT_TOO_LARGE;
    }
    char *buf = nullptr;
    long rc = Smalloc(&buf, capacity + 1);
    if (rc < 0) {
        ::close(fd);
        return rc;
    }
    size_t used = 0;
    for (;;) {
        if (used == capacity) {
            if (capacity > (kMaxCount - 1) / 2) {
                rc = BASEKIT_TOO_LARGE;
                break;
            }
            char *bigger = nullptr;
            rc = Smalloc(&bigger, capacity * 2 + 1);
            if (rc < 0)
                break;
            std::memcpy(bigger, buf, used);
            Sfree(&buf);
            buf = bigger;
            capacity *= 2;
        }
        const ssize_t got = ::read(fd, buf + used, capacity - used);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            rc = BASEKIT_READ_FAILED;
            break;
        }
        if (got == 0) {
            rc = 0;
            break;
        }
        used += size_t(got);
    }
    ::close(fd);
    if (rc < 0) {
        Sfree(&buf);
        return rc;
    }
    buf[used] = '\0';
    *ptr = buf;
    return long(used);
}

long CBasekit::SFileWrite(const void *data, size_t count, const char *path)
{
    if (!path || !*path || (!data && count))
        return BASEKIT_BAD_ARGUMENT;

    // A path that names a symbolic link is written through to its target, so
    // the link stays a link.
    std::string target = path;
    if (char *resolved = ::realpath(path, nullptr)) {
        target = resolved;
        std::free(resolved);
    }

    struct stat old {};
    const bool existed = ::stat(target.c_str(), &old) == 0;
    if (existed && S_ISDIR(old.st_mode))
        return BASEKIT_CREATE_FAILED;
    // Only a regular file is replaced; anything else is written in place.
    const char *p = static_cast<const char *>(data);
    if (existed && !S_ISREG(old.st_mode))
        return writeInPlace(target, p, count, false);

    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = target + ".hxm" + std::to_string(::getpid()) + "-" + std::to_string(tempCounter++);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST && errno != EINTR)
            break;
    }
    // No temporary file beside the target (a folder the user cannot write
    // in): the target itself is written.
    if (fd < 0)
        return writeInPlace(target, p, count, true);
    if (existed)
        (void)::fchmod(fd, old.st_mode & 07777);

    bool ok = writeAll(fd, p, count);
    // A full disk often shows only here.
    if (ok && ::fsync(fd) != 0 && errno != EINVAL && errno != EROFS)
        ok = false;
    if (closeChecked(fd) != 0)
        ok = false;
    if (!ok) {
        ::unlink(temp.c_str());
        return BASEKIT_WRITE_FAILED;
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        ::unlink(temp.c_str());
        return BASEKIT_RENAME_FAILED;
    }
    return 0;
}
