#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <span>
#include <vector>

namespace ravlo {

// A seekable byte stream. Read and Write may move fewer bytes than asked; ReadBuffer and
// WriteBuffer move exactly the count asked for or raise EStreamError.
class Stream {
public:
    virtual ~Stream() = default;

    virtual std::size_t Read(std::span<std::uint8_t> buffer) = 0;
    virtual std::size_t Write(std::span<const std::uint8_t> data) = 0;
    virtual std::uint64_t Position() const = 0;
    virtual std::uint64_t Size() const = 0;
    virtual void Seek(std::uint64_t position) = 0;

    // Bytes between the position and the end (0 when the position is past the end).
    std::uint64_t Remaining() const;

    void ReadBuffer(std::span<std::uint8_t> buffer);
    void WriteBuffer(std::span<const std::uint8_t> data);
};

// A stream over a growable byte vector; writing past the end extends it.
class MemoryStream : public Stream {
public:
    MemoryStream() = default;
    explicit MemoryStream(std::vector<std::uint8_t> data) : data_(std::move(data)) {}

    std::size_t Read(std::span<std::uint8_t> buffer) override;
    std::size_t Write(std::span<const std::uint8_t> data) override;
    std::uint64_t Position() const override { return position_; }
    std::uint64_t Size() const override { return data_.size(); }
    // A position past the end is allowed; the next write fills the gap with zeros.
    void Seek(std::uint64_t position) override { position_ = position; }

    const std::vector<std::uint8_t>& Data() const { return data_; }

private:
    std::vector<std::uint8_t> data_;
    std::uint64_t position_ = 0;
};

// A stream over a file, opened for reading or created (truncated) for writing.
class FileStream : public Stream {
public:
    enum class OpenMode { Read, Create };

    // Raises EStreamError when the file cannot be opened.
    FileStream(const std::filesystem::path& path, OpenMode mode);
    ~FileStream() override;
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;

    std::size_t Read(std::span<std::uint8_t> buffer) override;
    std::size_t Write(std::span<const std::uint8_t> data) override;
    std::uint64_t Position() const override { return position_; }
    std::uint64_t Size() const override { return size_; }
    void Seek(std::uint64_t position) override;

    // Flushes written data to the disk and closes the file; raises EStreamError when the data
    // did not reach it. Closing by the destructor cannot report a failure.
    void Close();

private:
    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };

    std::filesystem::path path_;
    OpenMode mode_;
    std::unique_ptr<std::FILE, FileCloser> file_;
    std::uint64_t position_ = 0;
    std::uint64_t size_ = 0;
};

} // namespace ravlo
