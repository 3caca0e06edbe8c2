#pragma once

#include <cstddef>
#include <cstdint>

namespace ravlo {

class TAppData;

// How many enumerations CreateMainEnumTypes appends; the BIOS setup dialogs find them by index
// (three share the name "BankLOW").
inline constexpr std::size_t kMainEnumTypeCount = 9;

// Their indexes in a fresh collection, by which the setup dialogs find them.
inline constexpr std::int32_t kEnumBankHigh = 1;
inline constexpr std::int32_t kEnumBankLow = 2;
inline constexpr std::int32_t kEnumFreq = 3;
inline constexpr std::int32_t kEnumMemType = 4;
inline constexpr std::int32_t kEnumSizeKb = 5;
inline constexpr std::int32_t kEnumBankAddress = 6;
inline constexpr std::int32_t kEnumWaitStates = 7;
inline constexpr std::int32_t kEnumExtAccess = 8;

// Appends the nine enumerations of the board setup dialogs to the application data, creating its
// enumeration collection when it has none: 0 "ZacPamKodu", 1 "BankHIGH", 2 "BankLOW" (0-256 kB),
// 3 "freq", 4 "MemType", 5 "BankLOW" (0-1024 kB), 6 "BankLOW" ($00000-$F8000), 7 "WSIOBUS",
// 8 "EATIOBUS". Answers the index of the first one.
std::size_t CreateMainEnumTypes(TAppData& appData);

} // namespace ravlo
