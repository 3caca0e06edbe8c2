#include "platform/file_io.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ravlo {

int RenameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return errno;
    }
    // The file system cannot refuse to replace by itself.
    struct stat existing {};
    if (::lstat(to.c_str(), &existing) == 0) {
        return EEXIST;
    }
    return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

int WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t count = ::write(fd, bytes.data(), bytes.size());
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(count));
    }
    return 0;
}

int ReadRegularFile(const std::filesystem::path& path, std::size_t maxBytes, std::string& bytes) {
    bytes.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    struct stat status {};
    int error = 0;
    if (::fstat(fd, &status) != 0) {
        error = errno;
    } else if (!S_ISREG(status.st_mode)) {
        error = EINVAL;
    } else if (static_cast<std::uintmax_t>(status.st_size) > maxBytes) {
        error = EFBIG;
    }
    // The file may grow while it is read: one byte past the bound tells.
    char buffer[4096];
    while (error == 0) {
        const ssize_t count = ::read(fd, buffer, std::min(sizeof buffer, maxBytes + 1 - bytes.size()));
        if (count > 0) {
            bytes.append(buffer, static_cast<std::size_t>(count));
            error = bytes.size() > maxBytes ? EFBIG : 0;
        } else if (count == 0) {
            break;
        } else if (errno != EINTR) {
            error = errno;
        }
    }
    ::close(fd);
    if (error != 0) {
        bytes.clear();
    }
    return error;
}

} // namespace ravlo
