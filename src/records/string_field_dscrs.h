#pragma once

#include "records/field_type_dscr.h"

#include <array>

namespace ravlo {

// A short string (length byte and characters) in Size bytes. The texts never change the record:
// a stored length beyond the field is read as the field's room.
class TDBStringFieldDscr : public TRecFieldTypeDscr {
public:
    static constexpr std::string_view kClassName = "TDBStringFieldDscr";

    std::string_view ClassName() const override { return kClassName; }
    void Store(TrbObjStream& stream) const override;
    void Load(TrbObjStream& stream) override;
    // Writes the default text, cut to the field's room.
    void InitFieldValue(std::span<std::uint8_t> data) const override;
    // The value is the text: while it comes back unchanged, the bytes after it (an older, longer
    // text's tail) stay and the record is not modified.
    void GetDataFromTrBuff(std::span<std::uint8_t> data, std::span<const std::uint8_t> trBuf,
                           std::uint8_t& modified) const override;

    // The string-table text DefaultTextId when there is one, else DefaultText.
    std::string DefaultString() const;

    std::string DefaultText;
    std::int16_t DefaultTextId = -1;

protected:
    bool CaptionIsPattern() const override { return true; }
    std::string ValueText(TextForm form, int width, std::span<const std::uint8_t> data) const override;
    // The text as the form shows it.
    std::string FormText(TextForm form, int width, const std::string& text) const;
};

// With the set of characters the editing dialog allows. The transfer record (288 bytes): the
// string's room in bytes (at most 255), the 32-byte set, then the value as a short string of up
// to 254 characters.
class TStringLimFieldDscr : public TDBStringFieldDscr {
public:
    static constexpr std::string_view kClassName = "TStringLimFieldDscr";
    static constexpr std::uint16_t kTransferSize = 288;
    static constexpr std::size_t kTextMax = 254;

    std::string_view ClassName() const override { return kClassName; }
    void Store(TrbObjStream& stream) const override;
    void Load(TrbObjStream& stream) override;
    std::uint16_t GetTrBuffSize() const override { return Transfers() ? kTransferSize : 0; }
    void PutDataToTrBuff(std::span<const std::uint8_t> data, std::span<std::uint8_t> trBuf) const override;
    // Takes back as much of the transfer string as the field has room for.
    void GetDataFromTrBuff(std::span<std::uint8_t> data, std::span<const std::uint8_t> trBuf,
                           std::uint8_t& modified) const override;

    std::array<std::uint8_t, 32> Chars{};
};

// A text of the layout that takes no bytes of the record; its transfer record (Size bytes)
// carries the text, cut to fit, to the dialog.
class TLabelFieldDscr : public TDBStringFieldDscr {
public:
    static constexpr std::string_view kClassName = "TLabelFieldDscr";

    std::string_view ClassName() const override { return kClassName; }
    std::uint16_t GetFieldSize() const override { return 0; }
    void InitFieldValue(std::span<std::uint8_t> /*data*/) const override {}
    void AppendForm(TextForm form, std::span<const std::uint8_t> data, std::string& dest,
                    int maxLen) const override;
    void PutDataToTrBuff(std::span<const std::uint8_t> data, std::span<std::uint8_t> trBuf) const override;
    void GetDataFromTrBuff(std::span<std::uint8_t> /*data*/, std::span<const std::uint8_t> /*trBuf*/,
                           std::uint8_t& /*modified*/) const override {}

protected:
    bool CaptionIsPattern() const override { return false; }
    std::string ValueText(TextForm form, int width, std::span<const std::uint8_t> data) const override;
};

} // namespace ravlo
