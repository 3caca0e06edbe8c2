#pragma once

#include "records/semantics.h"

#include <filesystem>
#include <string>

namespace ravlo {

// The INI file an INI semantic uses: when iniFileKey names a section of the program's INI file
// whose key "INIfileFN" names a file (relative to the program's folder), that file when it exists
// or force is set; otherwise the program's INI file.
std::filesystem::path SemanticIniFile(std::string_view iniFileKey, bool force);

// Keeps a number field equal to a value held in an INI file: mode kSemTake takes the field's
// value, kSemWrite writes the value into the field, kSemSave takes the field's value and writes it
// to the INI file. The value is read from the file when the semantic is loaded. Width is the
// number's width in the field (4 here).
class TDWAppINISetSem : public TSemantics {
public:
    static constexpr std::string_view kClassName = "TDWAppINISetSem";

    std::string_view ClassName() const override { return kClassName; }
    void Store(TrbObjStream& stream) const override;
    void Load(TrbObjStream& stream) override;
    void LoadFromIni(bool force) override;
    void SaveToIni() override;
    void Evaluate(std::uint8_t event, std::uint8_t sub, std::span<std::uint8_t> data) override;

    std::uint32_t Value = 0;
    std::string IniFileKey;
    std::string Section;
    std::string KeyName;

protected:
    virtual std::size_t Width() const { return 4; }
};

class TWoAppINISetSem : public TDWAppINISetSem {
public:
    static constexpr std::string_view kClassName = "TWoAppINISetSem";
    std::string_view ClassName() const override { return kClassName; }

protected:
    std::size_t Width() const override { return 2; }
};

class TByAppINISetSem : public TDWAppINISetSem {
public:
    static constexpr std::string_view kClassName = "TByAppINISetSem";
    std::string_view ClassName() const override { return kClassName; }

protected:
    std::size_t Width() const override { return 1; }
};

// The same for a short-string field of at most MaxLen - 1 characters. Writing into the field
// writes the caption (string-table text CaptionId, else Value), which with a value cell and
// FmtKind 1..5 is a format pattern for the cell's byte (1), 16-bit value (2 signed, 3 unsigned)
// or 32-bit value (4 signed, 5 unsigned).
class TStrAppINISetSem : public TSemantics {
public:
    static constexpr std::string_view kClassName = "TStrAppINISetSem";

    std::string_view ClassName() const override { return kClassName; }
    void Store(TrbObjStream& stream) const override;
    void Load(TrbObjStream& stream) override;
    void LoadFromIni(bool force) override;
    void SaveToIni() override;
    void Evaluate(std::uint8_t event, std::uint8_t sub, std::span<std::uint8_t> data) override;

    std::string IniFileKey;
    std::string Section;
    std::string KeyName;
    std::uint8_t MaxLen = 0;
    std::uint8_t FmtKind = 0;
    std::int32_t CaptionId = -1;
    std::string Value;

private:
    std::string FieldText() const;
    std::size_t TextMax() const { return MaxLen > 0 ? MaxLen - 1u : 0u; }
};

} // namespace ravlo
