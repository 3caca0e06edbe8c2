#include "platform/atomic_file.h"

#include "platform/file_io.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ravlo {
namespace {

namespace fs = std::filesystem;

// Closes a descriptor on every path out of a function.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const { return fd_; }
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

// The file a write should replace: the target of a symbolic link rather than the link itself.
fs::path ResolveTarget(const fs::path& path) {
    std::error_code error;
    if (fs::is_symlink(path, error)) {
        fs::path resolved = fs::weakly_canonical(path, error);
        if (!error) {
            return resolved;
        }
    }
    return path;
}

// Creates a fresh file next to `target`, readable by the same people as a new file would be.
int CreateTemporaryNextTo(const fs::path& target, fs::path& temporary) {
    static std::atomic<unsigned> counter{0};
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = folder / ("." + target.filename().string() + ".~" + std::to_string(::getpid()) + "-" +
                              std::to_string(counter.fetch_add(1)));
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

void SyncFolder(const fs::path& file) {
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    const FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.Get() >= 0) {
        ::fsync(fd.Get());
    }
}

} // namespace

std::optional<std::string> ReadFileBytes(const fs::path& path) {
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0) {
        return std::nullopt;
    }
    std::string bytes;
    char chunk[16384];
    for (;;) {
        const ssize_t count = ::read(fd.Get(), chunk, sizeof chunk);
        if (count == 0) {
            return bytes;
        }
        if (count < 0 && errno != EINTR) {
            return std::nullopt; // a folder, or an I/O error
        }
        if (count > 0) {
            bytes.append(chunk, static_cast<std::size_t>(count));
        }
    }
}

namespace {

bool WriteAtomic(const fs::path& path, std::string_view bytes, std::optional<unsigned> mode) {
    const fs::path target = ResolveTarget(path);
    fs::path temporary;
    FileDescriptor fd(CreateTemporaryNextTo(target, temporary));
    if (fd.Get() < 0) {
        return false;
    }
    struct stat existing {};
    bool written = true;
    if (mode) {
        written = ::fchmod(fd.Get(), *mode & 07777) == 0;
    } else if (::stat(target.c_str(), &existing) == 0) {
        written = ::fchmod(fd.Get(), existing.st_mode & 07777) == 0;
    }
    written = written && WriteAll(fd.Get(), bytes) == 0 && ::fsync(fd.Get()) == 0;
    written = fd.Close() && written;
    if (!written || ::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    SyncFolder(target);
    return true;
}

} // namespace

bool WriteFileAtomic(const fs::path& path, std::string_view bytes) {
    return WriteAtomic(path, bytes, std::nullopt);
}

bool WriteFileAtomic(const fs::path& path, std::string_view bytes, unsigned mode) {
    return WriteAtomic(path, bytes, mode);
}

} // namespace ravlo
