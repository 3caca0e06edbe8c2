#include "shell/main_enum_types.h"

#include "framework/app_data.h"

#include <cstdio>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ravlo {
namespace {

void AddEnumType(TEnumTypesColl& coll, std::string_view name, const std::vector<std::string>& texts) {
    auto type = std::make_unique<TEnumTypeDefinition>();
    type->SetTypeName(name);
    for (const std::string& text : texts) {
        type->Strings.Add(text);
    }
    coll.Insert(std::move(type));
}

std::vector<std::string> Texts(std::initializer_list<std::string_view> texts) {
    return {texts.begin(), texts.end()};
}

// "$00000", "$08000", ... : 32 linear addresses in steps of $8000.
std::vector<std::string> BankAddressTexts() {
    std::vector<std::string> texts;
    for (unsigned i = 0; i < 32; ++i) {
        char text[8];
        std::snprintf(text, sizeof text, "$%05X", i * 0x8000u);
        texts.emplace_back(text);
    }
    return texts;
}

// "0", "2", ... "30": wait states in steps of two.
std::vector<std::string> WaitStateTexts() {
    std::vector<std::string> texts;
    for (int i = 0; i < 16; ++i) {
        texts.push_back(std::to_string(2 * i));
    }
    return texts;
}

} // namespace

std::size_t CreateMainEnumTypes(TAppData& appData) {
    if (!appData.EnumTypesColl) {
        appData.EnumTypesColl = std::make_unique<TEnumTypesColl>();
    }
    TEnumTypesColl& coll = *appData.EnumTypesColl;
    const auto first = static_cast<std::size_t>(coll.Count());
    AddEnumType(coll, "ZacPamKodu",
                Texts({"$4000:0000", "$5000:0000", "$6000:0000", "$7000:0000", "$8000:0000"}));
    AddEnumType(coll, "BankHIGH", Texts({"64 kB", "128 kB", "256 kB", "512 kB"}));
    AddEnumType(coll, "BankLOW", Texts({"0 kB", "64 kB", "128 kB", "256 kB"}));
    AddEnumType(coll, "freq",
                Texts({"0 nS", "32/36 nS", "62/76 nS", "92/116 nS", "122/156 nS", "152/196 nS", "182/236 nS",
                       "212/276 nS"}));
    AddEnumType(coll, "MemType", Texts({"none", "RAM", "FLASH", "ROM"}));
    AddEnumType(coll, "BankLOW",
                Texts({"0 kB", "16 kB", "32 kB", "64 kB", "128 kB", "256 kB", "512 kB", "1024 kB"}));
    AddEnumType(coll, "BankLOW", BankAddressTexts());
    AddEnumType(coll, "WSIOBUS", WaitStateTexts());
    AddEnumType(coll, "EATIOBUS", Texts({"0", "1", "2", "3"}));
    return first;
}

} // namespace ravlo
