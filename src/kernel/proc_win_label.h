#pragma once

#include "framework/name_coll.h"
#include "framework/name_object.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace ravlo {

// The INI description of a window that hosts processes ("TYP|TNA|CAP|LOG|HIL|PCO|USR"): the name it
// registers under, its caption, the logical addresses it serves and its process collection.
class TProcWinNameObj : public TNameObject {
public:
    static constexpr std::string_view kClassName = "TProcWinNameObj";
    static constexpr std::size_t kCaptionMax = 79;

    using TNameObject::TNameObject;

    std::string_view ClassName() const override { return kClassName; }
    bool ParseKeyword(std::string_view keyword) override;
    std::string ParamsToText() const override;

    std::uint8_t TYP = 0;
    std::string TNA;
    std::string CAP;
    std::uint16_t LOG = 0;
    std::uint16_t HIL = 0;
    std::string PCO;
    std::uint32_t USR = 0;
};

// The entries of one window collection ("WINCOLL", "GLBSYSCOLL"), in INI order.
class TProcWinLabelColl : public TNameColl {
public:
    static constexpr std::string_view kClassName = "TProcWinLabelColl";

    using TNameColl::TNameColl;
    ~TProcWinLabelColl() override;

    std::string_view ClassName() const override { return kClassName; }
    // Reads the collection's own key, then its entries (see ReadCollItems).
    bool ReadParamFromINI(bool verbose) override;

    TProcWinNameObj* EntryAt(std::int32_t index) const { return dynamic_cast<TProcWinNameObj*>(At(index)); }
    // "*** " + class + "(" + Name + ") **** Count=" and one line per entry.
    void WriteColl(int chn) const;
};

} // namespace ravlo
