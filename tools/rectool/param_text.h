#pragma once

#include "records/rec_iniciator_coll.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ravlo::rectool {

// A copy of the initiators, made through their stream form, to read values into without touching
// the record type.
std::unique_ptr<TRecIniciatorColl> CopyOf(const TRecIniciatorColl& inits);

// rec (a record of the initiators' layout) as a header and a value list.
std::string ExportText(TRecIniciatorColl& inits, std::span<const std::uint8_t> rec);

// Reads text, a header and values or the values of every column in order, and puts the values of
// the columns it names into rec; the other columns keep their bytes, so a value whose text cannot
// be read stays editable through the others. An unknown column, a text longer than its column and
// text after the values are errors too. False with the reader's message ("line:column ...") in
// error, rec unchanged.
bool ImportColumns(TRecIniciatorColl& inits, std::string_view text, std::span<std::uint8_t> rec,
                   std::string& error);

// A stored value that does not read back from the text written for it.
struct UnreadableValue {
    std::string Column;
    std::string Text;
    std::string Error;
};
// The values of rec that would make its exported text unreadable.
std::vector<UnreadableValue> UnreadableValues(const TRecIniciatorColl& inits,
                                              std::span<const std::uint8_t> rec);

} // namespace ravlo::rectool
