#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>

namespace ravlo {

// The runtime log: a text file <base>.TXS in ProgramDir() that records the start and end of every
// run and receives copies of trace and error lines. Every line is written with open-append-close,
// so the log survives a crash and other writers (a second instance) can append to it.
//
// Log texts are code page 1250, like every stored text; the file is read by people on this
// platform, so each line is converted to UTF-8 as it is written.
//
// Until TxsStartup has run (and again after TxsShutdown) every log operation does nothing, so that
// tests and tools never leave logs behind. I/O errors are swallowed: a line that cannot be written
// is lost.

// Unit start: computes the names (the folder is ProgramDir(), the base comes from the program's
// file name), moves a log left by an earlier run to its archive name, then writes the start and
// banner records. par1 is the first command-line argument; the log keeps its file-name part.
void TxsStartup(const std::filesystem::path& programPath, std::string_view par1);

// Unit end: appends the run-time and end records (and the error-exit record when exitCode is not
// 0) and moves the log to its archive name; a second instance only appends its own record and
// leaves the name. Nothing happens when the log no longer exists.
void TxsShutdown(int exitCode);

// Rewrites the log with the start and banner records.
void TxsBegin();

// Appends text without / with a line end; a deleted log is first recreated with the start and
// banner records and a recreate record.
void TxsWrite(std::string_view text);
void TxsWriteln(std::string_view text);

// Deletes this run's log.
void DelTxsFile();
// Whether this run writes its log ("APP" TXS); on at start. While off, TxsBegin, TxsWrite and
// TxsWriteln write nothing, so a log deleted because the setting is off stays deleted, and the end
// of the run leaves a log that is still there as it is (the next start archives it).
void SetTxsOn(bool on);
bool TxsOn();
// Deletes the archived logs of this program (base + stamp + ".TXS") in the log's folder; the
// current log and every other file stay.
void DelOldTxsFiles();

// Trace output (Writesys, Writelnsys) is copied into the log while this is set; initially set.
bool& WriteToTxs();
// Set by the start-up block when another instance of the program is already running.
bool& SecondInstance();

// The names; empty before TxsStartup.
std::filesystem::path TxsDir();
std::string TxsBase();
std::filesystem::path TxsPath();
bool TxsStarted();

// Tests: the clock the log reads (nullptr puts the system clock back; answers the previous one)
// and a return to the state before TxsStartup, with the settings at their initial values.
using TxsClockFn = std::chrono::system_clock::time_point (*)();
TxsClockFn SetTxsClock(TxsClockFn clock);
void ResetRuntimeLog();

} // namespace ravlo
