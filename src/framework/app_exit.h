#pragma once

namespace ravlo {

// Exit code of a run stopped because the application INI file failed its check.
inline constexpr int kExitIniCheckFailed = 2;

// Ends the program through the exit handler. The default handler closes the runtime log with the
// code and exits; tests put in one that throws, so the caller must not count on AppExit not
// returning.
void AppExit(int code);

using AppExitHandler = void (*)(int code);
// Answers the previous handler; nullptr restores the default one.
AppExitHandler SetAppExitHandler(AppExitHandler handler);

} // namespace ravlo
