#include "framework/app_names.h"

#include "framework/app_exit.h"
#include "framework/ini_access.h"
#include "framework/message_box.h"
#include "platform/cp1250.h"
#include "platform/file_names.h"
#include "platform/ini_file.h"
#include "platform/message_box_flags.h"
#include "platform/program_dir.h"

#include <cstdio>

namespace ravlo {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kSectionNameMax = 200;

struct AppNamesState {
    std::string name;
    fs::path dir;
    fs::path iniName;
    fs::path exePath;
    std::chrono::system_clock::time_point start{};
    std::string rdSection;
    std::string wrSection;
    std::string iniCheckText;
};

AppNamesState& State() {
    static AppNamesState state;
    return state;
}

// The file in dir whatever the case of its name; the name as given when there is none.
fs::path FindIni(const fs::path& dir, const fs::path& fileName) {
    if (std::optional<fs::path> found = FindFileNoCase(dir, fileName.string())) {
        return *found;
    }
    return dir / fileName;
}

fs::path IniNameFromArgument(const std::string& argument, const fs::path& appDir) {
    // Command lines written for the original platform separate folders with "\".
    fs::path given(NormalizeStoredPath(argument));
    given.replace_extension(".INI");
    fs::path dir = given.parent_path();
    if (dir.empty()) {
        dir = appDir;
    } else {
        dir = fs::absolute(dir);
    }
    return FindIni(dir, given.filename());
}

std::string SectionName(std::string value) {
    value.resize(std::min(value.size(), kSectionNameMax));
    return value;
}

} // namespace

void InitAppNames(const fs::path& programPath, std::span<const std::string> args) {
    AppNamesState& s = State();
    s.exePath = programPath;
    s.name = Utf8ToCp1250(programPath.stem().string());
    s.dir = ProgramDir() / "";
    s.iniName = args.empty() ? FindIni(s.dir, programPath.stem().string() + ".INI")
                             : IniNameFromArgument(args.front(), s.dir);
    s.start = std::chrono::system_clock::now();
}

void ResetAppNames() {
    State() = AppNamesState{};
}

const std::string& AppName() {
    return State().name;
}

const fs::path& AppDir() {
    return State().dir;
}

const fs::path& AppIniName() {
    return State().iniName;
}

const fs::path& AppExePath() {
    return State().exePath;
}

std::chrono::system_clock::time_point AppStartTime() {
    return State().start;
}

std::string PathText(const fs::path& path) {
    return Utf8ToCp1250(path.string());
}

const std::string& RdSection() {
    return State().rdSection;
}

const std::string& WrSection() {
    return State().wrSection;
}

const std::string& IniCheckText() {
    return State().iniCheckText;
}

bool CheckAppIni() {
    AppNamesState& s = State();
    s.rdSection.clear();
    s.wrSection.clear();
    const std::string name = "INI file " + PathText(s.iniName);
    if (!IniFile(s.iniName).Exists()) {
        s.iniCheckText = name + " not found";
        return false;
    }
    const std::string rd = IniReadStr(s.iniName, "SECTIONS", "RD_SECTION");
    if (rd.empty()) {
        s.iniCheckText = name + " RD_SECTION not specified";
        return false;
    }
    if (IniSectionKeyCount(s.iniName, rd) == 0) {
        s.iniCheckText = name + " RD_SECTION=" + rd + " not valid";
        return false;
    }
    s.rdSection = SectionName(rd);
    s.wrSection = SectionName(IniReadStr(s.iniName, "SECTIONS", "WR_SECTION"));
    s.iniCheckText.clear();
    return true;
}

void StopOnFailedIniCheck() {
    TrMessageBox(AppName(), IniCheckText(), MB_OK | MB_ICONHAND);
    const std::string program = AppName().empty() ? std::string("ravlo") : Cp1250ToUtf8(AppName());
    std::fprintf(stderr, "%s: %s\n", program.c_str(), Cp1250ToUtf8(IniCheckText()).c_str());
    std::fflush(stderr);
    AppExit(kExitIniCheckFailed);
}

} // namespace ravlo
