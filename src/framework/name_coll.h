#pragma once

#include "framework/collection.h"
#include "framework/name_object.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace ravlo {

// A collection of named objects that is itself configured by one key of the application INI
// ("PFX|MAX|UPD|"). Writing it back writes its own key and then every item's; a write-once (UPD 2)
// is passed on to the items that have no write mode of their own. Items that are not TNameObjects
// are kept but never written.
//
// As with TNameObject, the constructor does not read: use MakeNamed or ReadInitialParams.
class TNameColl : public TrbCollection {
public:
    static constexpr std::string_view kClassName = "TNameColl";
    static constexpr std::string_view kDefaultPrefix = "#SL";

    explicit TNameColl(std::string_view name = {});

    std::string_view ClassName() const override { return kClassName; }

    bool ReadInitialParams();

    // Reads and parses the collection's key; a missing key is reported but is no failure, and the
    // empty value is parsed like any other. Answers whether the parse failed.
    virtual bool ReadParamFromINI(bool verbose);
    virtual bool ParseParams(std::string_view text);
    virtual bool ParseKeyword(std::string_view keyword);
    virtual std::string ParamsToText() const;
    virtual void WriteParamToINI();

    // The item as a named object; nullptr for a bad index, a nil slot or another class.
    TNameObject* NameItemAt(std::int32_t index) const { return dynamic_cast<TNameObject*>(At(index)); }

    std::string Name;
    // Name prefix of the items.
    std::string PFX{kDefaultPrefix};
    // Item limit; -1 for none.
    std::int32_t MAX = -1;
    std::uint8_t UPD = 0;
};

} // namespace ravlo
