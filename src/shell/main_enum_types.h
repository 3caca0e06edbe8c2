#pragma once

#include <cstddef>

namespace ravlo {

class TAppData;

// How many enumerations CreateMainEnumTypes appends; the BIOS setup dialogs find them by index
// (three share the name "BankLOW").
inline constexpr std::size_t kMainEnumTypeCount = 9;

// Appends the nine enumerations of the board setup dialogs to the application data, creating its
// enumeration collection when it has none: 0 "ZacPamKodu", 1 "BankHIGH", 2 "BankLOW" (0-256 kB),
// 3 "freq", 4 "MemType", 5 "BankLOW" (0-1024 kB), 6 "BankLOW" ($00000-$F8000), 7 "WSIOBUS",
// 8 "EATIOBUS". Answers the index of the first one.
std::size_t CreateMainEnumTypes(TAppData& appData);

} // namespace ravlo
