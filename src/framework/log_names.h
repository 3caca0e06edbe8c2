#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace ravlo {

// Names, time texts and record lines of the runtime log (.TXS). Pure, so that they can be checked
// without touching the log itself. Record lines are code page 1250 texts.

// The log's base name from the program's file name: cut to 8 characters, then before its first
// "."; padded with "_" to 4 characters; a library gets "Lib_" in front and is cut to 8 again.
// "AB.EXE" gives "AB__", as a library "Lib_AB__".
std::string TxsBaseName(std::string_view programFileName, bool asLibrary = false);

// "dd.mm.yy hh:mm:ss" in local time, whatever the date settings say.
std::string TxsTimeText(std::chrono::system_clock::time_point time);

// "YYMMDDhhmm" in local time: the stamp of an archived log.
std::string TxsStampText(std::chrono::system_clock::time_point time);

// The stamp of a log file from its own last-write time; nullopt when the file cannot be examined.
std::optional<std::string> TxsArchStamp(const std::filesystem::path& file);

// True for names of archived logs: base + 10 digits, optionally "_" + digits (a second archive of
// the same minute), + ".TXS"; case ignored. Other files that merely start with the base are not.
bool IsTxsArchiveName(std::string_view fileName, std::string_view base);

// The archive name for a stamp that names no existing file: base + stamp + ".TXS", or when that is
// taken (two runs in one minute) base + stamp + "_1.TXS", "_2.TXS" and so on, so that an older
// archive is never replaced.
std::filesystem::path FreeTxsArchivePath(const std::filesystem::path& dir, std::string_view base,
                                         std::string_view stamp);

// A file name in the log's text form (code page 1250).
std::string TxsPathText(const std::filesystem::path& path);

// The record lines, in the order they appear in a log.
std::string TxsStartLine(const std::filesystem::path& txsPath, std::string_view timeText,
                         std::string_view par1);
inline constexpr std::string_view kTxsBannerLine = "((( QORV V4.12";
std::string TxsRecreateLine(const std::filesystem::path& txsPath, std::string_view par1);
std::string TxsRunTimeLine(long long minutes);
std::string TxsEndLine(const std::filesystem::path& archivePath, std::string_view timeText,
                       std::string_view par1);
// This platform reports no address of a run-time error: the address part is always 0000:0000.
std::string TxsErrorExitLine(int exitCode);
std::string TxsSecondInstanceLine(std::string_view timeText);

} // namespace ravlo
