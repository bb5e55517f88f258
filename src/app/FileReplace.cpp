#include "app/FileReplace.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zor {

namespace {

// Writes all of bytes to fd; the error's text, empty on success.
std::string WriteAll(int fd, std::string_view bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return std::strerror(errno);
        }
        done += static_cast<size_t>(n);
    }
    return {};
}

} // namespace

std::string ReplaceFile(const std::string& path, const std::function<void(const ByteSink&)>& produce)
{
    std::string name = path + ".tmp-XXXXXX";
    const int fd = mkstemp(name.data());
    if (fd < 0)
        return std::strerror(errno);
    std::string err;
    produce([&](std::string_view bytes) {
        if (err.empty())
            err = WriteAll(fd, bytes);
    });
    if (!err.empty()) {
        close(fd);
        unlink(name.c_str());
        return err;
    }
    // mkstemp makes the file private; a saved file is an ordinary document.
    fchmod(fd, 0644);
    if (fsync(fd) != 0 || close(fd) != 0) {
        err = std::strerror(errno);
        unlink(name.c_str());
        return err;
    }
    if (std::rename(name.c_str(), path.c_str()) != 0) {
        err = std::strerror(errno);
        unlink(name.c_str());
        return err;
    }
    return {};
}

} // namespace zor
