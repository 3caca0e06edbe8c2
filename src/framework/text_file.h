#pragma once

#include "framework/file_name_check.h"
#include "framework/io_error.h"
#include "framework/padding.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace ravlo {

// Line-oriented text files that never throw: each failure is kept as a text in ErrText() (empty
// while all is well; the first failure stays) and closes the file; callers test ErrText() after
// each step. A closed file ignores further reads and writes. Texts are bytes as stored (code
// page 1250); error texts are IoErrorText texts + "-" + the file name.

// Reads a text file line by line. Lines may end with LF or CR LF; the CR is never part of a line.
class TTxRdFile {
public:
    // Checks the name with FileNameChk, then opens the file; any failure leaves the object closed
    // and at its end.
    explicit TTxRdFile(const std::filesystem::path& fileName);
    ~TTxRdFile();
    TTxRdFile(const TTxRdFile&) = delete;
    TTxRdFile& operator=(const TTxRdFile&) = delete;

    void Close();
    // True when closed or when no character is left; a read error sets ErrText and closes.
    bool Eof();
    // The next line, at most maxLen characters (the rest of a longer line is skipped); empty when
    // closed, at the end, or after a read error.
    std::string ReadLn(std::size_t maxLen = kShortStringMax);
    // The file's last-write time as a DOS date-time; -1 when it cannot be examined.
    std::int32_t FileAge() const;

    const std::string& ErrText() const { return errText_; }
    const std::filesystem::path& Name() const { return name_; }
    bool Closed() const { return fd_ < 0; }

private:
    bool FillBuffer();
    void Fail(int errnoValue);

    std::string errText_;
    std::filesystem::path name_;
    int fd_ = -1;
    std::vector<char> buffer_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
};

// Writes a new text file in place of an existing one, which survives as one backup copy
// (BackupName). The writer never destroys what was there before:
// - when the old file cannot be moved to the backup name, nothing is created and it stays;
// - a writer that fails (creation, a write, closing) or ends without one successful write deletes
//   the file it created and moves the backup back to the name;
// - it deletes no file but its own.
class TTxWrFile {
public:
    explicit TTxWrFile(const std::filesystem::path& fileName);
    // Close; a writer that never wrote successfully then removes its file as above.
    ~TTxWrFile();
    TTxWrFile(const TTxWrFile&) = delete;
    TTxWrFile& operator=(const TTxWrFile&) = delete;

    void Write(std::string_view text);
    // The text and the line end (CR LF, or LF when LineEnd is off).
    void WriteLn(std::string_view text);
    void WriteInt(std::int32_t n);
    void WriteLnInt(std::int32_t n);
    // Closes once (the data is flushed to the disk); when a file date is set the file then gets it.
    void Close();
    std::int32_t FileAge() const;
    // The DOS date-time that Close stamps on the file; 0 for none.
    void SetFileDate(std::int32_t dosDateTime) { fileDate_ = dosDateTime; }

    const std::string& ErrText() const { return errText_; }
    const std::filesystem::path& Name() const { return name_; }
    bool Closed() const { return fd_ < 0; }
    // Set until the first successful write.
    bool DeleteOnDestroy() const { return deleteOnDestroy_; }
    bool LineEnd() const { return lineEnd_; }
    void SetLineEnd(bool crLf) { lineEnd_ = crLf; }

private:
    void Open();
    void Fail(int errnoValue, IoAccess access);
    void RollBack();

    std::string errText_;
    std::filesystem::path name_;
    std::filesystem::path backup_;
    int fd_ = -1;
    bool deleteOnDestroy_ = true;
    bool lineEnd_ = true;
    bool created_ = false;       // the file at name_ is ours
    bool movedToBackup_ = false; // the previous file is at backup_
    std::int32_t fileDate_ = 0;
};

} // namespace ravlo
