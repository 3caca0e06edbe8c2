#include "framework/text_file.h"

#include "framework/date_text.h"
#include "platform/file_io.h"
#include "framework/local_time.h"
#include "platform/cp1250.h"
#include "platform/file_time.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ravlo {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kReadChunk = 4096;
constexpr std::int32_t kNoFileAge = -1;

std::string NameText(const fs::path& name) {
    return Utf8ToCp1250(name.string());
}

std::string FailureText(int errnoValue, IoAccess access, const fs::path& name) {
    return IoErrnoText(errnoValue, access, name) + "-" + NameText(name);
}

std::int32_t DosFileAge(const fs::path& name) {
    const auto written = ReadFileWriteTime(name);
    return written ? DTRecToFileDate(LocalDTRec(ToSystemTime(*written))) : kNoFileAge;
}

} // namespace

TTxRdFile::TTxRdFile(const fs::path& fileName) : name_(fileName) {
    if (!FileNameChk(NameText(name_), "", errText_)) {
        return;
    }
    const int fd = ::open(name_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        errText_ = FailureText(errno, IoAccess::Open, name_);
        return;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || S_ISDIR(status.st_mode)) {
        const int error = S_ISDIR(status.st_mode) ? EISDIR : errno;
        ::close(fd);
        errText_ = FailureText(error, IoAccess::Open, name_);
        return;
    }
    fd_ = fd;
    buffer_.resize(kReadChunk);
}

TTxRdFile::~TTxRdFile() {
    Close();
}

void TTxRdFile::Close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    pos_ = end_ = 0;
}

void TTxRdFile::Fail(int errnoValue) {
    if (errText_.empty()) {
        errText_ = FailureText(errnoValue, IoAccess::Read, name_);
    }
    Close();
}

bool TTxRdFile::FillBuffer() {
    if (fd_ < 0) {
        return false;
    }
    for (;;) {
        const ssize_t count = ::read(fd_, buffer_.data(), buffer_.size());
        if (count > 0) {
            pos_ = 0;
            end_ = static_cast<std::size_t>(count);
            return true;
        }
        if (count == 0) {
            return false;
        }
        if (errno != EINTR) {
            Fail(errno);
            return false;
        }
    }
}

bool TTxRdFile::Eof() {
    return pos_ == end_ && !FillBuffer();
}

std::string TTxRdFile::ReadLn(std::size_t maxLen) {
    std::string line;
    if (Eof()) {
        return line;
    }
    char last = '\0';
    for (;;) {
        if (pos_ == end_ && !FillBuffer()) {
            if (Closed()) {
                return {}; // a read error loses the line
            }
            break;
        }
        const char c = buffer_[pos_++];
        if (c == '\n') {
            break;
        }
        last = c;
        if (line.size() < maxLen) {
            line += c;
        }
    }
    if (last == '\r' && !line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

std::int32_t TTxRdFile::FileAge() const {
    return DosFileAge(name_);
}

TTxWrFile::TTxWrFile(const fs::path& fileName) : name_(fileName), backup_(BackupName(fileName)) {
    if (!FileNameChk(NameText(name_), "", errText_)) {
        deleteOnDestroy_ = false;
        return;
    }
    Open();
}

void TTxWrFile::Open() {
    struct stat previous {};
    const bool exists = ::lstat(name_.c_str(), &previous) == 0;
    if (exists) {
        // The old file replaces the old backup in one step; while the name holds no file the old
        // backup is left alone, as it may be the only copy.
        if (S_ISDIR(previous.st_mode)) {
            Fail(EISDIR, IoAccess::Open);
            return;
        }
        if (::rename(name_.c_str(), backup_.c_str()) != 0) {
            Fail(errno, IoAccess::Open);
            return;
        }
        movedToBackup_ = true;
    }
    // O_EXCL: a file that appeared meanwhile is someone else's and is not truncated.
    const int fd = ::open(name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        Fail(errno, IoAccess::Open);
        return;
    }
    fd_ = fd;
    created_ = true;
    if (exists && S_ISREG(previous.st_mode)) {
        ::fchmod(fd_, previous.st_mode & 07777); // the users file stays as private as it was
    }
}

TTxWrFile::~TTxWrFile() {
    Close();
    if (deleteOnDestroy_) {
        RollBack();
    }
}

void TTxWrFile::Fail(int errnoValue, IoAccess access) {
    if (errText_.empty()) {
        errText_ = FailureText(errnoValue, access, name_);
    }
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    RollBack();
}

void TTxWrFile::RollBack() {
    if (created_) {
        ::unlink(name_.c_str());
        created_ = false;
    }
    if (movedToBackup_) {
        RenameNoReplace(backup_, name_);
        movedToBackup_ = false;
    }
    deleteOnDestroy_ = false;
}

void TTxWrFile::Write(std::string_view text) {
    if (fd_ < 0) {
        return;
    }
    if (const int error = WriteAll(fd_, text); error != 0) {
        Fail(error, IoAccess::Write);
        return;
    }
    deleteOnDestroy_ = false;
}

void TTxWrFile::WriteLn(std::string_view text) {
    Write(std::string(text) + (lineEnd_ ? "\r\n" : "\n"));
}

void TTxWrFile::WriteInt(std::int32_t n) {
    Write(std::to_string(n));
}

void TTxWrFile::WriteLnInt(std::int32_t n) {
    WriteLn(std::to_string(n));
}

void TTxWrFile::Close() {
    if (fd_ < 0) {
        return;
    }
    const int fd = fd_;
    // A file system that cannot sync (EINVAL) has nothing more to flush.
    const int syncError = ::fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
    fd_ = -1;
    const int closeError = ::close(fd) == 0 ? 0 : errno;
    if (syncError != 0 || closeError != 0) {
        Fail(syncError != 0 ? syncError : closeError, IoAccess::Write);
        return;
    }
    if (fileDate_ != 0) {
        if (const auto time = LocalDTRecToTime(FileDateToDTRec(fileDate_))) {
            WriteFileWriteTime(name_, FromSystemTime(*time));
        }
    }
}

std::int32_t TTxWrFile::FileAge() const {
    return DosFileAge(name_);
}

} // namespace ravlo
