#pragma once

#include "kernel/proc_mess.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace ravlo {

// Message codes of the error-history process.
inline constexpr std::uint8_t TMP_ERR_SHOW = 0x30;     // data: TTmpErrShowRec
inline constexpr std::uint8_t TMP_ERR_TIMEOUT = 0x31;  // no data; the process's own timed message
inline constexpr std::uint8_t TMP_ERR_RESET = 0x32;    // no data
inline constexpr std::uint8_t TMP_ERR_SHOW_REP = 0x33; // data: TTmpErrShowRec; not added to the history again

// One error text for the error-history process, 134 bytes little-endian:
//   0 u8 Visible, 1 u32 Attr, 5 short string of at most 127 characters (128 bytes), 133 u8 MsgBox.
struct TTmpErrShowRec {
    static constexpr std::size_t kSize = 134;
    static constexpr std::size_t kTextOffset = 5;
    static constexpr std::size_t kTextMax = 127;
    static constexpr std::size_t kMsgBoxOffset = 133;
    // What the process puts in place of an Attr of 0.
    static constexpr std::uint32_t kDefaultAttr = 0xFF;

    std::uint8_t Visible = 0;
    std::uint32_t Attr = 0;
    std::string Text; // code page 1250
    std::uint8_t MsgBox = 0;

    // A record as a sender makes it: the text cut to kTextMax characters, Visible and Attr 0.
    static TTmpErrShowRec ForText(std::string_view text, bool msgBox);
    // The record at the start of data; nullopt when data holds fewer than kSize bytes. A length byte
    // beyond the text field is taken as kTextMax.
    static std::optional<TTmpErrShowRec> FromBytes(std::span<const std::uint8_t> data);
    // The kSize record bytes; text beyond kTextMax is cut and the rest of the field is zero.
    std::array<std::uint8_t, kSize> ToBytes() const;

    bool operator==(const TTmpErrShowRec&) const = default;
};

// The TMP_ERR_SHOW message that reports text (cut to 127 characters) to the error-history process.
TProcMess TmpErrShowMess(const TProcAdr& dest, const TProcAdr& src, std::string_view text, bool msgBox);

// The name of an error-history message code ("TMP_ERR_SHOW", ...); other codes as two hex digits.
std::string TmpErrCodeName(std::uint8_t code);

// A message of the error-history process as its traces show it: codes by name, a record by its text.
class TTMP_ERR_ProcMess : public TProcMess {
public:
    using TProcMess::TProcMess;
    // A copy of a message for tracing.
    static TTMP_ERR_ProcMess CopyOf(const TProcMess& mess) {
        return TTMP_ERR_ProcMess(TMem::CreateCopy(mess));
    }

    std::string CodeStr() const override;
    std::string DataStr() const override;
};

} // namespace ravlo
