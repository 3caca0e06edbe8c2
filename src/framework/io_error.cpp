#include "framework/io_error.h"

#include "framework/string_table.h"

#include <cerrno>

namespace ravlo {
namespace {

// DOS-style codes of the texts.
constexpr int kFileNotFound = 2;
constexpr int kPathNotFound = 3;
constexpr int kTooManyOpenFiles = 4;
constexpr int kAccessDenied = 5;
constexpr int kInvalidHandle = 6;
constexpr int kDiskReadError = 100;
constexpr int kDiskWriteError = 101;
constexpr int kUnknownCodeTextId = 131;

struct CodeRange {
    int firstCode;
    int lastCode;
    int firstTextId;
};

constexpr CodeRange kCodeTexts[] = {
    {1, 6, 101}, {12, 12, 107}, {15, 17, 108}, {100, 106, 111}, {150, 162, 118},
};

std::string UnknownCodeText(int code) {
    return AppLoadStr(kUnknownCodeTextId) + " " + std::to_string(code);
}

// 0 when the errno value has no DOS-style code of its own.
int DosIoCode(int errnoValue, IoAccess access, const std::filesystem::path& path) {
    switch (errnoValue) {
    case ENOENT: {
        std::error_code error;
        const bool folderMissing =
            path.has_parent_path() && !std::filesystem::exists(path.parent_path(), error);
        return folderMissing ? kPathNotFound : kFileNotFound;
    }
    case ENOTDIR:
        return kPathNotFound;
    case EMFILE:
    case ENFILE:
        return kTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return kAccessDenied;
    case EBADF:
        return kInvalidHandle;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return access == IoAccess::Read ? kDiskReadError : kDiskWriteError;
    default:
        break;
    }
    if (access == IoAccess::Read) {
        return kDiskReadError;
    }
    if (access == IoAccess::Write && errnoValue == EIO) {
        return kDiskWriteError;
    }
    return 0;
}

} // namespace

std::string IoErrorText(int code) {
    if (code == 0) {
        return {};
    }
    for (const CodeRange& range : kCodeTexts) {
        if (code >= range.firstCode && code <= range.lastCode) {
            return AppLoadStr(range.firstTextId + (code - range.firstCode));
        }
    }
    return UnknownCodeText(code);
}

std::string IoErrnoText(int errnoValue, IoAccess access, const std::filesystem::path& path) {
    const int code = DosIoCode(errnoValue, access, path);
    return code != 0 ? IoErrorText(code) : UnknownCodeText(errnoValue);
}

} // namespace ravlo
