#pragma once

#include <chrono>
#include <filesystem>
#include <span>
#include <string>

namespace ravlo {

// The names the program finds itself by, computed once at start-up from the running executable
// (programPath) and the command-line arguments after it:
// - AppName: the executable's file name without extension (code page 1250);
// - AppDir: ProgramDir() with a trailing separator;
// - AppIniName: the first argument with its extension changed to ".INI", put after AppDir when it
//   has no folder part, and looked up with case ignored so that "ravlo.ini" answers for
//   "RAVLO.INI"; without arguments AppDir + AppName + ".INI".
// Also records the start time. Empty (and the epoch) until called.
void InitAppNames(const std::filesystem::path& programPath, std::span<const std::string> args);
// Back to the state before InitAppNames, the INI check's results included; for tests.
void ResetAppNames();

const std::string& AppName();
const std::filesystem::path& AppDir();
const std::filesystem::path& AppIniName();
// The executable's full path, the caption of the application error box.
const std::filesystem::path& AppExePath();
std::chrono::system_clock::time_point AppStartTime();

// A path in a stored text: its code page 1250 form.
std::string PathText(const std::filesystem::path& path);

// Section names from [SECTIONS] of the application INI (code page 1250, at most 200 characters):
// settings are read from RdSection and written back to WrSection; nothing is written back while
// WrSection is empty.
const std::string& RdSection();
const std::string& WrSection();
// Empty while the check passed, else why it failed.
const std::string& IniCheckText();

// Checks the application INI: the file exists, names RD_SECTION in [SECTIONS], and that section has
// keys; then sets RdSection and WrSection. Answers whether it passed.
bool CheckAppIni();

// Ends the run because the INI check failed: shows IniCheckText in an error box, writes it to stderr
// and leaves through AppExit with kExitIniCheckFailed.
void StopOnFailedIniCheck();

} // namespace ravlo
