#include "records/ini_semantics.h"

#include "framework/app_names.h"
#include "framework/format_pattern.h"
#include "framework/ini_access.h"
#include "framework/message_box.h"
#include "framework/number_parse.h"
#include "framework/number_text.h"
#include "framework/padding.h"
#include "framework/string_table.h"
#include "platform/cp1250.h"
#include "records/field_bytes.h"

#include <array>

namespace ravlo {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kFileNameMax = 254;
constexpr std::size_t kNumberTextMax = 32;

// The INI file to read from: nothing unless the program's INI file exists and a section is named.
std::optional<fs::path> ReadableIni(std::string_view iniFileKey, std::string_view section, bool force) {
    if (force && iniFileKey.empty()) {
        return std::nullopt;
    }
    std::error_code error;
    if (section.empty() || AppIniName().empty() || !fs::exists(AppIniName(), error)) {
        return std::nullopt;
    }
    return SemanticIniFile(iniFileKey, force);
}

// Writes value to key of section in the INI file found with force; a write that fails is
// reported with the file's name, so that a lost setting does not pass unnoticed.
void SaveSemanticValue(std::string_view className, std::string_view iniFileKey, std::string_view section,
                       std::string_view key, std::string_view value) {
    const fs::path file = SemanticIniFile(iniFileKey, true);
    if (!IniWriteStr(file, section, key, value)) {
        ReportAppError("# " + std::string(className) + ".SaveToIni: cannot write " + PathText(file));
    }
}

} // namespace

fs::path SemanticIniFile(std::string_view iniFileKey, bool force) {
    if (!iniFileKey.empty() && !AppIniName().empty()) {
        const std::string name = CutText(IniReadStr(AppIniName(), iniFileKey, "INIfileFN"), kFileNameMax);
        if (!name.empty()) {
            fs::path path(Cp1250ToUtf8(name));
            if (path.is_relative()) {
                path = AppDir() / path;
            }
            std::error_code error;
            if (force || fs::exists(path, error)) {
                return path;
            }
        }
    }
    return AppIniName();
}

void TDWAppINISetSem::Store(TrbObjStream& stream) const {
    stream.WriteU32(Value);
    stream.StrWrite(IniFileKey);
    stream.StrWrite(Section);
    stream.StrWrite(KeyName);
}

void TDWAppINISetSem::Load(TrbObjStream& stream) {
    Value = stream.ReadU32();
    IniFileKey = stream.StrRead();
    Section = stream.StrRead();
    KeyName = stream.StrRead();
    LoadFromIni(false);
}

void TDWAppINISetSem::LoadFromIni(bool force) {
    if (const auto file = ReadableIni(IniFileKey, Section, force)) {
        if (const auto value = ValDWord(CutText(IniReadStr(*file, Section, KeyName), kNumberTextMax))) {
            Value = *value;
        }
    }
}

void TDWAppINISetSem::SaveToIni() {
    if (!Section.empty()) {
        SaveSemanticValue(ClassName(), IniFileKey, Section, KeyName, "$" + HexDW(Value));
    }
}

void TDWAppINISetSem::Evaluate(std::uint8_t event, std::uint8_t sub, std::span<std::uint8_t> data) {
    if (event != kSemFieldValue) {
        return;
    }
    const std::span<std::uint8_t> field = data.first(std::min(data.size(), Width()));
    switch (sub) {
    case kSemTake:
        Value = GetLE<std::uint32_t>(field);
        Found = true;
        break;
    case kSemWrite: {
        std::array<std::uint8_t, 4> bytes{};
        PutLE(std::span(bytes), 0, Value);
        WriteField(field, std::span(bytes).first(Width()));
        Found = true;
        break;
    }
    case kSemSave:
        Value = GetLE<std::uint32_t>(field);
        SaveToIni();
        Found = true;
        break;
    default:
        break;
    }
}

void TStrAppINISetSem::Store(TrbObjStream& stream) const {
    stream.StrWrite(IniFileKey);
    stream.StrWrite(Section);
    stream.StrWrite(KeyName);
    stream.WriteU8(MaxLen);
    stream.WriteU8(FmtKind);
    stream.WriteI32(CaptionId);
    stream.WriteStr(Value);
}

void TStrAppINISetSem::Load(TrbObjStream& stream) {
    IniFileKey = stream.StrRead();
    Section = stream.StrRead();
    KeyName = stream.StrRead();
    MaxLen = stream.ReadU8();
    FmtKind = stream.ReadU8();
    CaptionId = stream.ReadI32();
    Value = stream.ReadStr();
    LoadFromIni(false);
}

void TStrAppINISetSem::LoadFromIni(bool force) {
    if (const auto file = ReadableIni(IniFileKey, Section, force)) {
        const std::string text = IniReadStr(*file, Section, KeyName);
        if (!text.empty()) {
            Value = CutText(text, MaxLen);
        }
    }
}

void TStrAppINISetSem::SaveToIni() {
    if (!Section.empty()) {
        SaveSemanticValue(ClassName(), IniFileKey, Section, KeyName, Value);
    }
}

std::string TStrAppINISetSem::FieldText() const {
    std::string caption = Value;
    if (CaptionId >= 0) {
        const std::string text = AppLoadStr(CaptionId);
        if (text != kMissingStringText) {
            caption = text;
        }
    }
    if (Cell == nullptr || FmtKind < 1 || FmtKind > 5) {
        return caption;
    }
    const std::array<FormatArg, 5> args{
        FormatArg{std::int64_t{static_cast<std::uint8_t>(Cell->W)}},
        FormatArg{std::int64_t{static_cast<std::int16_t>(Cell->W)}}, FormatArg{std::int64_t{Cell->W}},
        FormatArg{std::int64_t{static_cast<std::int32_t>(Cell->L)}}, FormatArg{std::int64_t{Cell->L}}};
    return FormatPattern(caption, std::span(args).subspan(FmtKind - 1u, 1));
}

void TStrAppINISetSem::Evaluate(std::uint8_t event, std::uint8_t sub, std::span<std::uint8_t> data) {
    if (event != kSemFieldValue) {
        return;
    }
    switch (sub) {
    case kSemTake:
        Value = CutText(GetShortString(data), TextMax());
        break;
    case kSemWrite:
        WriteFieldText(data, CutText(FieldText(), TextMax()));
        break;
    case kSemSave:
        Value = CutText(GetShortString(data), TextMax());
        SaveToIni();
        break;
    default:
        return;
    }
    Found = true;
}

} // namespace ravlo
