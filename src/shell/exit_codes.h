#pragma once

namespace ravlo {

// The program's exit codes, so that a script running it unattended (/X) can tell what happened.
// framework/app_exit.h holds kExitIniCheckFailed (2): a named object found the INI check failed.
inline constexpr int kExitOk = 0;
// An exception stopped the start-up or the message loop.
inline constexpr int kExitHalted = 1;
// Another instance is running; it was asked to come to the front.
inline constexpr int kExitOtherInstance = 3;
// The command line or the application INI is unusable; the usage box was shown.
inline constexpr int kExitCmdLine = 10;
// With /X: the step that failed, after which nothing further was done.
inline constexpr int kExitProjectFailed = 11;
inline constexpr int kExitGenerateFailed = 12;
inline constexpr int kExitEpromImageFailed = 13;
inline constexpr int kExitDownloadFailed = 14;
inline constexpr int kExitRunFailed = 15;
// /U: nobody can answer the login dialog (there is no display); the run ended there.
inline constexpr int kExitNoLogin = 16;

} // namespace ravlo
