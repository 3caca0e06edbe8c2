#include "shell/cmd_line.h"

#include "framework/app_names.h"
#include "framework/message_box.h"
#include "platform/cp1250.h"
#include "shell/exit_codes.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace ravlo {

std::uint8_t CmdLineFlags = 0;
std::string CmdLineUser;
std::string CmdLineProject;

namespace {

constexpr std::size_t kShortStringMax = 255;

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

char UpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The flag of a switch letter that takes no value; 0 for an unknown letter.
std::uint8_t SwitchFlag(char upperLetter) {
    switch (upperLetter) {
    case 'G':
        return CL_Generate;
    case 'L':
        return CL_Download;
    case 'R':
        return CL_Run;
    case 'E':
        return CL_EpromImage;
    case 'N':
        return CL_NoCOM;
    case 'X':
        return CL_Exit;
    default:
        return 0;
    }
}

constexpr std::string_view kHelpLines[] = {
    "Syntaxe: \"Ravlo.exe Ravlo.ini [Project Exe/Mem file] [/Uusername] [/G] [/E] [/L] [/R] [/N] [/X]\"",
    "",
    "   - Project Exe/Mem file: Project .EXE or .MEM file name",
    "   - /Uusername: Open Login dialog at startup with username",
    "   - /G: Generate .EXE project (valid only with .EXE project)",
    "   - /E: Creating Eprom Image (valid only with .EXE or .MEM project)",
    "   - /L: Downloading project to the Vok (valid only with .EXE or .MEM project)",
    "   - /R: Running project in the Vok, usually after download (valid only with .EXE or .MEM project)",
    "   - /N: Not open COM port (not valid with /L or /R)",
    "   - /X: Automatic exit after succesful actions above",
};

// The usage text as lines for a terminal.
std::string TerminalText(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        }
        out += text[i];
    }
    return Cp1250ToUtf8(out);
}

// An unattended run has nobody to read the box: why it ended goes to stderr as well.
void TellTerminal(std::string_view reason) {
    std::fprintf(stderr, "%s\n%s", Cp1250ToUtf8(reason).c_str(), TerminalText(CmdLineHelpText(true)).c_str());
    std::fflush(stderr);
}

} // namespace

void ResetCmdLine() {
    CmdLineFlags = 0;
    CmdLineUser.clear();
    CmdLineProject.clear();
}

bool IsCmdLineSwitch(std::string_view arg) {
    return arg.size() >= 2 && arg[0] == '/' && IsAsciiLetter(arg[1]) &&
           arg.find('/', 1) == std::string_view::npos;
}

TCmdLineArgs ParseCmdLineArgs(std::span<const std::string> args) {
    TCmdLineArgs result;
    std::size_t next = 0;
    if (!args.empty() && !IsCmdLineSwitch(args.front())) {
        result.IniArg = args.front();
        next = 1;
    }
    bool haveProject = false;
    for (; next < args.size(); ++next) {
        const std::string& arg = args[next];
        if (arg.empty()) {
            continue;
        }
        if (!IsCmdLineSwitch(arg)) {
            if (haveProject) {
                result.Issue = TCmdLineIssue::SecondProject;
                result.Rejected = arg;
                break;
            }
            result.Project = arg;
            haveProject = true;
            continue;
        }
        const char letter = UpperAscii(arg[1]);
        if (letter == 'U') {
            result.Flags |= CL_User;
            result.User = Utf8ToCp1250(arg.substr(2));
            result.User.resize(std::min(result.User.size(), kShortStringMax));
        } else if (const std::uint8_t flag = SwitchFlag(letter); flag != 0) {
            result.Flags |= flag;
        } else {
            result.Issue = TCmdLineIssue::UnknownSwitch;
            result.Rejected = arg;
            break;
        }
    }
    if ((result.Flags & (CL_Run | CL_Download)) != 0) {
        result.Flags &= static_cast<std::uint8_t>(~CL_NoCOM);
    }
    result.ExitAsked = std::any_of(args.begin(), args.end(), [](const std::string& arg) {
        return IsCmdLineSwitch(arg) && UpperAscii(arg[1]) == 'X';
    });
    return result;
}

std::string CmdLineHelpText(bool forError) {
    std::string text = forError ? "Invalid command line parameters!" : "Command line parameters!";
    text += "\r\n\r\n";
    for (const std::string_view line : kHelpLines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

void ShowCmdLineHelp(MessageBoxKind kind) {
    const bool forError = kind == MessageBoxKind::Error || kind == MessageBoxKind::Warning;
    const unsigned icon = kind == MessageBoxKind::Error     ? MB_ICONHAND
                          : kind == MessageBoxKind::Warning ? MB_ICONEXCLAMATION
                                                            : MB_ICONASTERISK;
    TrMessageBox("Ravlo", CmdLineHelpText(forError), MB_OK | icon);
}

int ParseCmdLine(const std::filesystem::path& programPath, std::span<const std::string> args) {
    const TCmdLineArgs parsed = ParseCmdLineArgs(args);
    std::vector<std::string> iniArgs;
    if (parsed.IniArg) {
        iniArgs.push_back(*parsed.IniArg);
    }
    InitAppNames(programPath, iniArgs);
    if (!CheckAppIni()) {
        ShowCmdLineHelp(MessageBoxKind::Error);
        TellTerminal(IniCheckText());
        return kExitCmdLine;
    }
    if (parsed.Issue != TCmdLineIssue::None) {
        ShowCmdLineHelp(MessageBoxKind::Warning);
        if (parsed.ExitAsked) {
            // An unattended run must not go on from a command line it did not understand.
            TellTerminal("Not understood: " + Utf8ToCp1250(parsed.Rejected));
            return kExitCmdLine;
        }
    }
    CmdLineFlags = parsed.Flags;
    CmdLineUser = parsed.User;
    CmdLineProject = parsed.Project;
    return kExitOk;
}

} // namespace ravlo
