#pragma once

namespace ravlo {

// Program-wide text format settings of dates, times and token readers; changeable at run time.

inline constexpr int kDateOrderMonthDayYear = 0;
inline constexpr int kDateOrderDayMonthYear = 1;
inline constexpr int kDateOrderYearMonthDay = 2;

extern char DateSep;   // between date fields, initially '/'
extern char TimeSep;   // between time fields, initially ':'
extern char FieldSep;  // where the date and time token readers stop, initially ';'
extern char QuoteChar; // around texts in record value texts and CSV lines, initially '"'
extern int DateOrder;  // one of kDateOrder...; any other value acts as day, month, year
extern bool Year4;     // years with 4 digits (true, initially) or 2
// The locale's decimal separator that GetLocRealTok also takes; initially that of the C
// library's current locale.
extern char DecimalSep;

// The decimal separator of the C library's current locale.
char LocaleDecimalSeparator();

// Puts every setting back to its initial value (for tests, and after a locale change).
void ResetTextFormatSettings();

} // namespace ravlo
