#include "framework/text_settings.h"

#include <clocale>

namespace ravlo {

char DateSep = '/';
char TimeSep = ':';
char FieldSep = ';';
char QuoteChar = '"';
int DateOrder = kDateOrderDayMonthYear;
bool Year4 = true;
char DecimalSep = LocaleDecimalSeparator();

char LocaleDecimalSeparator() {
    const std::lconv* conventions = std::localeconv();
    if (conventions == nullptr || conventions->decimal_point == nullptr ||
        conventions->decimal_point[0] == 0) {
        return '.';
    }
    return conventions->decimal_point[0];
}

void ResetTextFormatSettings() {
    DateSep = '/';
    TimeSep = ':';
    FieldSep = ';';
    QuoteChar = '"';
    DateOrder = kDateOrderDayMonthYear;
    Year4 = true;
    DecimalSep = LocaleDecimalSeparator();
}

} // namespace ravlo
