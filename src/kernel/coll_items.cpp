#include "kernel/coll_items.h"

#include "framework/debug_mask.h"
#include "framework/name_params.h"
#include "framework/number_text.h"
#include "framework/writer_channels.h"
#include "kernel/kernel_debug.h"

#include <algorithm>

namespace ravlo {
namespace {

constexpr std::int32_t kLastItemIndex = 0xFF;

} // namespace

void ReadCollItems(TNameColl& coll, CollItemFactory make) {
    coll.FreeAll();
    const bool bounded = coll.MAX >= 0;
    const std::int32_t last = bounded ? std::min(coll.MAX, kLastItemIndex) : kLastItemIndex;
    for (std::int32_t index = 0; index <= last; ++index) {
        const std::string key = coll.PFX + HexB(static_cast<std::uint8_t>(index));
        const bool present = !ReadNamedValue(key).empty();
        if (!present && !bounded) {
            break;
        }
        std::unique_ptr<TNameObject> item = make(key);
        if (!present) {
            ReportMissingEntry(key, item->ClassName());
            continue;
        }
        const bool failed = item->ReadInitialParams();
        if (TestDebugMask(DM_InitDone)) {
            Writelnsys(0, "/" + std::string(item->ClassName()) + ".Create " + item->Name +
                              (failed ? " ERROR" : " OK") + "=[" + item->ParamsToText() + "]");
        }
        coll.Insert(std::move(item));
    }
}

} // namespace ravlo
