#include "framework/name_coll.h"

#include "framework/keyword_lexer.h"
#include "framework/name_params.h"

#include <algorithm>
#include <optional>

namespace ravlo {

TNameColl::TNameColl(std::string_view name)
    : Name(name.substr(0, std::min(name.size(), TNameObject::kNameMax))) {}

bool TNameColl::ReadInitialParams() {
    return !Name.empty() && ReadParamFromINI(false);
}

bool TNameColl::ReadParamFromINI(bool verbose) {
    if (Name.empty()) {
        return false;
    }
    const std::string value = ReadNamedValue(Name);
    if (value.empty()) {
        ReportMissingEntry(Name, ClassName());
    }
    if (verbose) {
        TraceNamedValue(Name, value);
    }
    const bool failed = ParseParams(value);
    if (failed) {
        ReportParseFailure(Name, ClassName(), "");
    }
    return failed;
}

bool TNameColl::ParseParams(std::string_view text) {
    return LexParseKeywords(text, [this](std::string_view keyword) { return ParseKeyword(keyword); });
}

bool TNameColl::ParseKeyword(std::string_view keyword) {
    switch (LexKeyIndex(keyword, "PFX|MAX|UPD|")) {
    case 1: {
        // An empty prefix would be written back as " PFX= MAX=..." and read as the prefix "MAX".
        const std::string prefix = LexGetWord();
        if (prefix.empty()) {
            return true;
        }
        PFX = prefix.substr(0, TNameObject::kNameMax);
        return false;
    }
    case 2:
        if (const std::optional<std::int32_t> value = LexGetNum()) {
            MAX = *value;
            return false;
        }
        return true;
    case 3:
        return LexGetUpd(UPD);
    default:
        return true;
    }
}

std::string TNameColl::ParamsToText() const {
    std::string text = " PFX=" + PFX + " MAX=" + std::to_string(MAX);
    if (UPD != 0) {
        text += " UPD=" + std::to_string(UPD);
    }
    return text;
}

void TNameColl::WriteParamToINI() {
    if (UPD == 0) {
        return;
    }
    if (UPD == 2) {
        UPD = 0;
        for (std::int32_t i = 0; i < Count(); ++i) {
            if (TNameObject* item = NameItemAt(i); item != nullptr && item->UPD == 0) {
                item->UPD = 2;
            }
        }
    }
    WriteNamedParams(Name, ParamsToText());
    for (std::int32_t i = 0; i < Count(); ++i) {
        if (TNameObject* item = NameItemAt(i)) {
            item->WriteParamToINI();
        }
    }
}

} // namespace ravlo
