#include "framework/name_object.h"

#include "framework/app_names.h"
#include "framework/file_mask.h"
#include "framework/keyword_lexer.h"
#include "framework/name_params.h"
#include "platform/exception.h"
#include "platform/text_case.h"

#include <algorithm>

namespace ravlo {
namespace {

constexpr std::string_view kKeywords = "UPD|ALL|";

TNameObjectList*& GlobalList() {
    static TNameObjectList* list = nullptr;
    return list;
}

} // namespace

TNameObject::TNameObject(std::string_view name) : Name(name.substr(0, std::min(name.size(), kNameMax))) {
    if (TNameObjectList* list = TNameObjectList::Global()) {
        list->Add(this);
    }
}

TNameObject::~TNameObject() {
    if (TNameObjectList* list = TNameObjectList::Global()) {
        list->Remove(this);
    }
}

void TNameObject::Store(TrbObjStream&) const {
    ThrowNotStreamable();
}

void TNameObject::Load(TrbObjStream&) {
    ThrowNotStreamable();
}

void TNameObject::ThrowNotStreamable() const {
    throw EStreamError(std::string(ClassName()) + " " + Name + " is kept in the INI file, not in streams");
}

bool TNameObject::ReadInitialParams() {
    return !Name.empty() && ReadParamFromINI(false);
}

bool TNameObject::ReadParamFromINI(bool verbose) {
    if (Name.empty()) {
        return false;
    }
    if (!IniCheckText().empty()) {
        StopOnFailedIniCheck();
        return true; // only reached when the exit handler lets the program go on
    }
    const std::string value = ReadNamedValue(Name);
    if (value.empty()) {
        ReportMissingEntry(Name, ClassName());
        return true;
    }
    if (verbose) {
        TraceNamedValue(Name, value);
    }
    const bool failed = ParseParams(value);
    if (failed) {
        ReportParseFailure(Name, ClassName(), ":");
    }
    return failed;
}

void TNameObject::WriteParamToINI() {
    if (UPD == 0) {
        return;
    }
    if (UPD == 2) {
        UPD = 0;
    }
    WriteNamedParams(GetName(), ParamsToText());
}

bool TNameObject::ParseParams(std::string_view text) {
    return LexParseKeywords(text, [this](std::string_view keyword) { return ParseKeyword(keyword); });
}

bool TNameObject::ParseKeyword(std::string_view keyword) {
    switch (LexKeyIndex(keyword, kKeywords)) {
    case 1:
        return LexGetUpd(UPD);
    case 2:
        if (const std::optional<std::int32_t> value = LexGetNum()) {
            ALL = *value != 0 ? 1 : 0;
            return false;
        }
        return true;
    default:
        return true;
    }
}

std::optional<std::string> TNameObject::GetParamText(std::string_view keyword) const {
    switch (LexKeyIndex(Cp1250ToUpper(keyword), kKeywords)) {
    case 1:
        return std::to_string(UPD);
    case 2:
        return std::to_string(ALL);
    default:
        return std::nullopt;
    }
}

std::string TNameObject::ParamsToText() const {
    if (UPD == 0 && ALL == 0) {
        return {};
    }
    std::string text = " UPD=" + std::to_string(UPD);
    if (ALL != 0) {
        text += " ALL=" + std::to_string(ALL);
    }
    return text;
}

int TNameObject::CompareName(std::string_view mask) const {
    return MatchesMask(Name, mask) ? 0 : -1;
}

TNameObjectList::TNameObjectList(std::string_view name)
    : Name(name.substr(0, std::min(name.size(), TNameObject::kNameMax))) {
    if (GlobalList() != nullptr) {
        throw Exception("TNameObjectList " + Name + ": the list " + GlobalList()->Name + " exists already");
    }
    GlobalList() = this;
}

TNameObjectList::~TNameObjectList() {
    GlobalList() = nullptr;
}

TNameObjectList* TNameObjectList::Global() {
    return GlobalList();
}

TNameObject* TNameObjectList::FindByMask(std::string_view mask) const {
    const auto found = std::find_if(objects_.begin(), objects_.end(), [mask](const TNameObject* object) {
        return object->CompareName(mask) == 0;
    });
    return found == objects_.end() ? nullptr : *found;
}

void TNameObjectList::Remove(const TNameObject* object) {
    const auto found = std::find(objects_.begin(), objects_.end(), object);
    if (found != objects_.end()) {
        objects_.erase(found);
    }
}

} // namespace ravlo
