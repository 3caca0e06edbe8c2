#pragma once

#include "framework/name_coll.h"
#include "framework/name_object.h"

#include <memory>
#include <string_view>

namespace ravlo {

// Builds one item of a named collection under its INI key, without reading it.
using CollItemFactory = std::unique_ptr<TNameObject> (*)(std::string_view key);

// Replaces the items of a named collection by those the application INI names: the keys PFX + two
// hex digits of the index, from 00 up to MAX (a missing key is reported and skipped) or, with no
// MAX, up to the first key that is missing; at most 256 items either way. An item whose settings do
// not parse is reported and kept with what it read.
void ReadCollItems(TNameColl& coll, CollItemFactory make);

} // namespace ravlo
