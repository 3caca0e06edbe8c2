#include "framework/byte_stream.h"

#include "platform/cp1250.h"
#include "platform/exception.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace ravlo {

std::uint64_t Stream::Remaining() const {
    const std::uint64_t size = Size();
    const std::uint64_t position = Position();
    return position < size ? size - position : 0;
}

void Stream::ReadBuffer(std::span<std::uint8_t> buffer) {
    if (Read(buffer) != buffer.size()) {
        throw EStreamError("Stream read error");
    }
}

void Stream::WriteBuffer(std::span<const std::uint8_t> data) {
    if (Write(data) != data.size()) {
        throw EStreamError("Stream write error");
    }
}

std::size_t MemoryStream::Read(std::span<std::uint8_t> buffer) {
    if (position_ >= data_.size()) {
        return 0;
    }
    const std::size_t count = std::min<std::uint64_t>(buffer.size(), data_.size() - position_);
    std::copy_n(data_.begin() + static_cast<std::ptrdiff_t>(position_), count, buffer.begin());
    position_ += count;
    return count;
}

std::size_t MemoryStream::Write(std::span<const std::uint8_t> data) {
    const std::uint64_t end = position_ + data.size();
    if (end > data_.size()) {
        data_.resize(end);
    }
    std::copy(data.begin(), data.end(), data_.begin() + static_cast<std::ptrdiff_t>(position_));
    position_ = end;
    return data.size();
}

namespace {

std::string PathText(const std::filesystem::path& path) {
    return Utf8ToCp1250(path.string());
}

} // namespace

FileStream::FileStream(const std::filesystem::path& path, OpenMode mode) : path_(path), mode_(mode) {
    file_.reset(std::fopen(path.c_str(), mode == OpenMode::Read ? "rb" : "wb"));
    if (!file_) {
        throw EStreamError("Cannot open file \"" + PathText(path) + "\": " + std::strerror(errno));
    }
    struct stat info {};
    if (fstat(fileno(file_.get()), &info) != 0 || !S_ISREG(info.st_mode)) {
        throw EStreamError("Cannot open file \"" + PathText(path) + "\": not a regular file");
    }
    size_ = static_cast<std::uint64_t>(info.st_size);
}

FileStream::~FileStream() = default;

std::size_t FileStream::Read(std::span<std::uint8_t> buffer) {
    if (!file_ || buffer.empty()) {
        return 0;
    }
    const std::size_t count = std::fread(buffer.data(), 1, buffer.size(), file_.get());
    position_ += count;
    return count;
}

std::size_t FileStream::Write(std::span<const std::uint8_t> data) {
    if (!file_ || mode_ != OpenMode::Create || data.empty()) {
        return 0;
    }
    const std::size_t count = std::fwrite(data.data(), 1, data.size(), file_.get());
    position_ += count;
    size_ = std::max(size_, position_);
    return count;
}

void FileStream::Seek(std::uint64_t position) {
    if (!file_ || fseeko(file_.get(), static_cast<off_t>(position), SEEK_SET) != 0) {
        throw EStreamError("Stream seek error in \"" + PathText(path_) + "\"");
    }
    position_ = position;
}

void FileStream::Close() {
    if (!file_) {
        return;
    }
    std::FILE* file = file_.release();
    bool ok = true;
    if (mode_ == OpenMode::Create) {
        ok = std::fflush(file) == 0 && fsync(fileno(file)) == 0;
    }
    ok = std::fclose(file) == 0 && ok;
    if (!ok) {
        throw EStreamError("Cannot write file \"" + PathText(path_) + "\"");
    }
}

} // namespace ravlo
