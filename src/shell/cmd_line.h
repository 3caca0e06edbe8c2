#pragma once

#include "platform/message_box_flags.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace ravlo {

// Bits of CmdLineFlags: the steps the command line asks for.
inline constexpr std::uint8_t CL_User = 0x01;       // /U: log in at start
inline constexpr std::uint8_t CL_Generate = 0x02;   // /G: generate the .BIN images (.EXE projects)
inline constexpr std::uint8_t CL_Download = 0x04;   // /L: download the project to the board
inline constexpr std::uint8_t CL_Run = 0x08;        // /R: run the project on the board
inline constexpr std::uint8_t CL_EpromImage = 0x10; // /E: write the EPROM image file
inline constexpr std::uint8_t CL_NoCOM = 0x20;      // /N: do not open the COM port at start
inline constexpr std::uint8_t CL_Exit = 0x40;       // /X: end the program after the steps succeeded
// The steps that need a project.
inline constexpr std::uint8_t kProjectSteps = CL_Generate | CL_Download | CL_Run | CL_EpromImage;

// Shared with the board master process, the Generate command and the EPROM image window, which read
// and clear their bits.
extern std::uint8_t CmdLineFlags;
// The user name given with /U (code page 1250, at most 255 characters).
extern std::string CmdLineUser;
// The project file named on the command line, as given (a path of this platform).
extern std::string CmdLineProject;
// Back to an empty command line, for tests.
void ResetCmdLine();

// Why the parsing stopped before the last argument.
enum class TCmdLineIssue : std::uint8_t { None, SecondProject, UnknownSwitch };

// The command line after the program name, taken apart.
struct TCmdLineArgs {
    // The application INI: the first argument when it is no switch.
    std::optional<std::string> IniArg;
    std::uint8_t Flags = 0;
    std::string User;
    std::string Project;
    TCmdLineIssue Issue = TCmdLineIssue::None;
    // The argument that stopped the parsing; it and those after it were ignored.
    std::string Rejected;
    // /X anywhere, also after the argument that stopped the parsing: nobody is there to answer.
    bool ExitAsked = false;
};

// "/" followed by a letter, with no further "/": "/L", "/Uname", "/Xyz". Paths such as "/usr/a.exe"
// are file names.
bool IsCmdLineSwitch(std::string_view arg);

// Parses the arguments after the program name (UTF-8, as the platform passes them). Switches are
// matched on their first letter, case ignored; /U takes the rest of its argument as the user name.
// The first argument that is no switch (after the INI) is the project; a second one, or an unknown
// switch, stops the parsing. /L or /R drop /N. Empty arguments are skipped.
TCmdLineArgs ParseCmdLineArgs(std::span<const std::string> args);

// The usage text (code page 1250, every line ending in CR LF); forError picks the first line.
std::string CmdLineHelpText(bool forError);
// The usage box: a warning or an error box says the parameters are invalid.
void ShowCmdLineHelp(MessageBoxKind kind);

// The start-up's command-line step: parses args, sets the application names from the INI argument
// (or from the program's name when the first argument is a switch), checks the INI and fills
// CmdLineFlags, CmdLineUser and CmdLineProject. A missing or failing INI shows the usage box as an
// error, tells stderr why and answers kExitCmdLine: the program must end before any window exists.
// A second project or an unknown switch shows the usage box as a warning, and the start goes on,
// unless /X was given anywhere: an unattended run then ends with kExitCmdLine as well. Answers
// kExitOk to go on.
int ParseCmdLine(const std::filesystem::path& programPath, std::span<const std::string> args);

} // namespace ravlo
