#pragma once

#include "records/semantics.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace ravlo {

class TDscrRecObj;
class TDBColl;
class TDataBase;
class TDBRecordObj;

// The four text forms of a field: a report line, a window text, a CSV line and a joined line.
enum class TextForm { Line, Win, CSV, Join };

// Flags of a field descriptor.
inline constexpr std::uint16_t kFldNoTransfer = 0x0001; // no room in the transfer buffer
inline constexpr std::uint16_t kFldNoFill = 0x0004;     // no blank fill (line, CSV, join)
inline constexpr std::uint16_t kFldNoLineCaption = 0x0008;
inline constexpr std::uint16_t kFldNoWinCaption = 0x0010;
inline constexpr std::uint16_t kFldNoWinFill = 0x0020;
inline constexpr std::uint16_t kFldNoJoinCaption = 0x0040;
inline constexpr std::uint16_t kFldCSVAlways = 0x0080;  // CSV form also at CSVWidth 0
inline constexpr std::uint16_t kFldCSVQuoted = 0x0100;  // enumerations: element text in quotes
inline constexpr std::uint16_t kFldCSVNewLine = 0x0200; // CSV form starts with CR LF
inline constexpr std::uint16_t kFldHex = 0x0400;
inline constexpr std::uint16_t kFldScientific = 0x0800;  // reals
inline constexpr std::uint16_t kFldPattern = 0x1000;     // the caption is a format pattern
inline constexpr std::uint16_t kFldFitDecimals = 0x2000; // reals: as many decimals as fit

// One field of a record layout: its size in the flat record buffer, its initial value, its four
// text forms, its transfer record for the dialog that edits it, and its semantics. Descriptors
// are only ever loaded from an object stream, so each is complete after InitObj and Load.
//
// Every operation is given exactly the bytes it works on: data is the field inside the record
// (GetFieldSize bytes), trBuf its transfer record (GetTrBuffSize bytes). Nothing outside them is
// read or written, also when a caller passes fewer bytes.
class TRecFieldTypeDscr : public TrbStreamable {
public:
    static constexpr std::string_view kClassName = "TRecFieldTypeDscr";
    static constexpr std::size_t kCaptionMax = 63;

    std::string_view ClassName() const override { return kClassName; }
    void Store(TrbObjStream& stream) const override;
    // Refuses, with ErbObjStream, a Size below the bytes of the class's value.
    void Load(TrbObjStream& stream) override;

    virtual std::uint16_t GetFieldSize() const { return Size; }
    // The base writes zeros.
    virtual void InitFieldValue(std::span<std::uint8_t> data) const;

    // Each appends its form to dest, never letting dest grow past maxLen characters.
    void GetLineAStr(std::span<const std::uint8_t> data, std::string& dest, int maxLen) const;
    void GetCWinAStr(std::span<const std::uint8_t> data, std::string& dest, int maxLen) const;
    void GetCSV_AStr(std::span<const std::uint8_t> data, std::string& dest, int maxLen) const;
    void GetJoinAStr(std::span<const std::uint8_t> data, std::string& dest, int maxLen) const;
    virtual void AppendForm(TextForm form, std::span<const std::uint8_t> data, std::string& dest,
                            int maxLen) const;

    // The base transfers the Size bytes as they are, or nothing with kFldNoTransfer.
    virtual std::uint16_t GetTrBuffSize() const;
    virtual void PutDataToTrBuff(std::span<const std::uint8_t> data, std::span<std::uint8_t> trBuf) const;
    // Sets modified to 1 only when the value changes.
    virtual void GetDataFromTrBuff(std::span<std::uint8_t> data, std::span<const std::uint8_t> trBuf,
                                   std::uint8_t& modified) const;
    virtual void FreeTrBuffRec(std::span<std::uint8_t> /*trBuf*/) const {}

    // Runs the field's evaluators of semantic no with the field's value.
    virtual void RunSemEvaluators(std::uint32_t no, std::uint8_t sub, std::span<std::uint8_t> data) const;
    virtual void NotifyRecObj(TDscrRecObj* /*recObj*/, std::uint8_t /*event*/) const {}
    // Database references; the base has none.
    virtual void GetRefDBInstAdr(std::span<std::uint8_t> /*data*/, TDBColl* /*dbColl*/,
                                 std::uint8_t& /*flags*/) const {}
    virtual void AddRefDBItems(std::span<std::uint8_t> /*data*/, TDataBase* /*database*/,
                               TDBRecordObj* /*record*/) const {}
    virtual void FindRefDBItems(std::span<std::uint8_t> /*data*/, TDataBase* /*database*/,
                                TDBRecordObj* /*record*/) const {}

    // The string-table text CaptionId when there is one, else Caption; at most kCaptionMax.
    std::string CaptionText() const;
    // The width of the value in a form.
    std::uint8_t FormWidth(TextForm form) const;

    std::string Name;
    std::string Caption;
    std::int16_t CaptionId = -1;
    std::uint16_t Size = 0;
    std::uint16_t Flags = 0;
    std::uint8_t LineWidth = 0;
    std::uint8_t WinWidth = 0;
    std::uint8_t CSVWidth = 0;
    std::uint8_t JoinWidth = 0;
    std::unique_ptr<TSemEvalColl> Semantics;

protected:
    // Bytes the class's value needs in the record.
    virtual std::uint16_t ValueSize() const { return 0; }
    // Whether kFldPattern makes the caption the value's pattern, so that the line and join forms
    // leave the separate caption out.
    virtual bool CaptionIsPattern() const { return false; }
    // The value text of a form at its width; the base shows the bytes in hex, or blanks.
    virtual std::string ValueText(TextForm form, int width, std::span<const std::uint8_t> data) const;

    bool Transfers() const { return (Flags & kFldNoTransfer) == 0; }
    bool NoFill(TextForm form) const;
    // The caption of the line and join forms, or for CSV the run from its first "%" (with a "$"
    // right before it) to the next blank.
    std::string PatternFor(TextForm form) const;
    // The field's bytes within data.
    std::span<const std::uint8_t> FieldBytes(std::span<const std::uint8_t> data) const;
    std::span<std::uint8_t> FieldBytes(std::span<std::uint8_t> data) const;

    // Value texts shared by the classes.
    std::string IntegerText(TextForm form, int width, std::int64_t value, int hexDigits) const;
    std::string RealText(TextForm form, int width, double value, int decimals, bool patternInWindow) const;
    // text between quote characters (an embedded one doubled) for the CSV form.
    static std::string CSVQuoted(std::string_view text);
};

// Copies count bytes of source over target (fewer when either is shorter); modified becomes 1
// when they differed.
void CopyChanged(std::span<std::uint8_t> target, std::span<const std::uint8_t> source, std::size_t count,
                 std::uint8_t& modified);

// text appended to dest, the whole cut at max characters.
void AppendCut(std::string& dest, std::string_view text, std::size_t max);

} // namespace ravlo
