#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace ravlo {

class TProcWinLabelColl;

inline constexpr std::string_view kRavloVersionText = "1.0";
inline constexpr std::string_view kRavloBuildDateText = "2024-06-01";

// "Ravlo " + version + "," + build date + " Eng " (with the trailing blank): the main window's
// caption.
std::string MainCaption(std::string_view version = kRavloVersionText,
                        std::string_view buildDate = kRavloBuildDateText);

// The one entry of "GLBSYSCOLL": the main form's process collection name, its registry name and
// the logical addresses it serves.
struct TGlbSysEntry {
    std::string PCO;
    std::string TNA;
    std::uint16_t LOG = 0;
    std::uint16_t HIL = 0;
};

struct TGlbSysChoice {
    // The first entry; nullopt when the collection has none.
    std::optional<TGlbSysEntry> Entry;
    // The error box text when the collection does not hold exactly one entry, else empty.
    std::string Problem;
};

TGlbSysChoice ChooseGlbSysEntry(const TProcWinLabelColl& coll);

// Whether a missing users file is told in a message box; from [ERRORMESSAGES] of the application
// INI, true unless that section says otherwise.
extern bool MsgIfNoUser;

// The key "MsgIfNoUser" of [ERRORMESSAGES] when the file has that section, else true.
bool ReadMsgIfNoUser(const std::filesystem::path& appIni);

} // namespace ravlo
