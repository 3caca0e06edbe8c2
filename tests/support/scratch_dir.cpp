#include "support/scratch_dir.h"

#include <fcntl.h>
#include <fstream>
#include <linux/fs.h>
#include <set>
#include <stdexcept>
#include <sys/ioctl.h>
#include <unistd.h>

namespace ravlo::testing {
namespace {

namespace fs = std::filesystem;

bool CanCreateFileIn(const fs::path& folder) {
    const fs::path probe = folder / ".probe";
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
}

bool SetImmutable(const fs::path& folder, bool on) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) {
        return false;
    }
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return done;
}

} // namespace

ScratchDir::ScratchDir() {
    std::string pattern = (fs::temp_directory_path() / "ravlo-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a scratch folder");
    }
    path_ = pattern;
}

ScratchDir::~ScratchDir() {
    Unlock();
    std::error_code error;
    fs::remove_all(path_, error);
}

fs::path ScratchDir::Write(std::string_view name, std::string_view bytes) const {
    const fs::path file = path_ / name;
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file;
}

std::optional<std::string> ScratchDir::Read(std::string_view name) const {
    std::ifstream in(path_ / name, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string ScratchDir::Listing() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(path_)) {
        names.insert(entry.path().filename().string());
    }
    std::string listing;
    for (const auto& name : names) {
        listing += (listing.empty() ? "" : " ") + name;
    }
    return listing;
}

bool ScratchDir::MakeReadOnly() {
    fs::permissions(path_, fs::perms::owner_read | fs::perms::owner_exec);
    if (!CanCreateFileIn(path_)) {
        return true;
    }
    immutable_ = SetImmutable(path_, true);
    return immutable_ && !CanCreateFileIn(path_);
}

void ScratchDir::Unlock() {
    if (immutable_) {
        SetImmutable(path_, false);
        immutable_ = false;
    }
    std::error_code error;
    fs::permissions(path_, fs::perms::owner_all, error);
}

} // namespace ravlo::testing
