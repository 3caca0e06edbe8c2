#include "kernel/proc_win_label.h"

#include "framework/debug_mask.h"
#include "framework/keyword_lexer.h"
#include "framework/number_text.h"
#include "framework/padding.h"
#include "framework/writer_channels.h"
#include "kernel/coll_items.h"
#include "kernel/kernel_debug.h"

#include <memory>
#include <optional>

namespace ravlo {
namespace {

constexpr std::size_t kWinNameMax = 32;

} // namespace

bool TProcWinNameObj::ParseKeyword(std::string_view keyword) {
    switch (LexKeyIndex(keyword, "TYP|TNA|CAP|LOG|HIL|PCO|USR")) {
    case 1:
        return LexGetField(TYP, 0, 0xFF);
    case 2:
        TNA = CutText(LexGetStr(), kWinNameMax);
        return false;
    case 3:
        CAP = CutText(LexGetStr(), kCaptionMax);
        return false;
    case 4:
        return LexGetField(LOG, 0, 0xFFFF);
    case 5:
        return LexGetField(HIL, 0, 0xFFFF);
    case 6:
        PCO = CutText(LexGetStr(), kWinNameMax);
        return false;
    case 7:
        // Any 32-bit pattern: "$FFFFFFFF" reads as -1.
        if (const std::optional<std::int32_t> value = LexGetNum()) {
            USR = static_cast<std::uint32_t>(*value);
            return false;
        }
        return true;
    default:
        return TNameObject::ParseKeyword(keyword);
    }
}

std::string TProcWinNameObj::ParamsToText() const {
    return TNameObject::ParamsToText() + " TYP=" + std::to_string(TYP) + " TNA=" + LexStrText(TNA) +
           " CAP=" + LexStrText(CAP) + " LOG=$" + HexW(LOG) + " HIL=$" + HexW(HIL) +
           " PCO=" + (LexIsWord(PCO) ? PCO : LexStrText(PCO)) + " USR=$" + HexDW(USR);
}

TProcWinLabelColl::~TProcWinLabelColl() {
    FreeAll();
    TraceInit(std::string(kClassName) + ".Destroy OK: " + Name);
}

bool TProcWinLabelColl::ReadParamFromINI(bool verbose) {
    TraceInit("/TProcWinLabelColl.Create Entry");
    const bool failed = TNameColl::ReadParamFromINI(verbose);
    ReadCollItems(*this, [](std::string_view key) -> std::unique_ptr<TNameObject> {
        return std::make_unique<TProcWinNameObj>(key);
    });
    TraceInit(std::string(kClassName) + ".Create Exit " + (failed ? "ERROR" : "OK"));
    return failed;
}

void TProcWinLabelColl::WriteColl(int chn) const {
    Writelnsys(chn,
               "*** " + std::string(kClassName) + "(" + Name + ") **** Count=" + std::to_string(Count()));
    for (std::int32_t i = 0; i < Count(); ++i) {
        if (const TProcWinNameObj* entry = EntryAt(i)) {
            Writelnsys(chn, entry->Name + "=" + entry->ParamsToText());
        }
    }
}

} // namespace ravlo
