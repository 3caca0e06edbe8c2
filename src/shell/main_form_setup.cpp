#include "shell/main_form_setup.h"

#include "kernel/proc_win_label.h"
#include "platform/ini_file.h"

namespace ravlo {

bool MsgIfNoUser = true;

std::string MainCaption(std::string_view version, std::string_view buildDate) {
    return "Ravlo " + std::string(version) + "," + std::string(buildDate) + " Eng ";
}

TGlbSysChoice ChooseGlbSysEntry(const TProcWinLabelColl& coll) {
    TGlbSysChoice choice;
    const TProcWinNameObj* entry = coll.Count() > 0 ? coll.EntryAt(0) : nullptr;
    if (entry == nullptr) {
        // Nothing to copy from: the form then runs without processes.
        choice.Problem = "Bad .INI file - no item in GLBSYSCOLL";
        return choice;
    }
    if (coll.Count() > 1) {
        choice.Problem = "Bad .INI file - more than one item in GLBSYSCOLL";
    }
    choice.Entry = TGlbSysEntry{entry->PCO, entry->TNA, entry->LOG, entry->HIL};
    return choice;
}

bool ReadMsgIfNoUser(const std::filesystem::path& appIni) {
    const IniFile ini(appIni);
    if (!ini.Exists() || !ini.SectionExists("ERRORMESSAGES")) {
        return true;
    }
    return ini.ReadBool("ERRORMESSAGES", "MsgIfNoUser", true);
}

} // namespace ravlo
