#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace ravlo {

// The address of a process: what kind of process (Ident), which instance of it (XInst, 0 for the
// process named by its Ident) and the logical address that selects the window hosting it (LogA).
// On the wire it is 4 bytes: Ident, XInst, LogA little-endian.
struct TProcAdr {
    std::uint8_t Ident = 0;
    std::uint8_t XInst = 0;
    std::uint16_t LogA = 0;

    bool operator==(const TProcAdr&) const = default;
};

inline constexpr std::size_t kProcAdrSize = 4;
// The Ident that addresses every process.
inline constexpr std::uint8_t PRI_All = 0xFF;

void SetProcAdr(TProcAdr& adr, std::uint8_t ident, std::uint8_t xInst, std::uint16_t logA);
void ClearProcAdr(TProcAdr& adr);

// "[II,XX,LLLL]" in upper-case hex, always 12 characters.
std::string ProcAdrStr(const TProcAdr& adr);
// Parses the text form. A text of the wrong shape sets err and clears the address; a field that is
// no hex number sets err but the other fields are still taken.
void StrToProcAdr(TProcAdr& adr, std::string_view text, bool& err);

// Upper-case hex digits: the low nibble, a byte, a word (high byte first).
char HexNibChr(unsigned value);
std::string HexByteStr(std::uint8_t value);
std::string HexWordStr(std::uint16_t value);

// The 4 wire bytes at the start of bytes (which must hold at least 4).
TProcAdr ReadProcAdr(std::span<const std::uint8_t> bytes);
void WriteProcAdr(std::span<std::uint8_t> bytes, const TProcAdr& adr);

} // namespace ravlo
