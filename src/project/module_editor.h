#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ravlo {

class tModule;
class tModuleCollection;
class tModUnit;

// The start addresses the address field offers.
inline constexpr std::array<std::string_view, 4> kModuleAddressPresets = {"$00B00", "$C8000", "$E0000",
                                                                          "$80000"};

// The editor's fields, to tell the view where the focus goes.
enum class TEditorField : std::uint8_t { None, Name, Address, Size };

// What OK (or Next, Previous) came to.
struct TEditorOkResult {
    bool Accepted = false;
    // The field of the first failed check; None when accepted or refused by a question.
    TEditorField Focus = TEditorField::None;
};

// The module editor without its widgets: one module of the design and the unplaced units. Unit moves
// go through the insert rules and only ever between these two, so every unit stays in exactly one
// of them; a unit that moves marks the design changed, as an edited field does. Cancel puts the
// module back as it was when the editor opened. Message boxes go through the presenter.
class TModuleEditor {
public:
    // design: the collection whose Changed byte the editor sets (nullptr for none).
    TModuleEditor(tModule& module, tModule& unplaced, tModuleCollection* design);

    tModule& Module() const { return module_; }
    tModule& Unplaced() const { return unplaced_; }

    // The field texts as the view shows them; the setters take what the user typed.
    const std::string& NameText() const { return nameText_; }
    const std::string& AddressText() const { return addressText_; }
    const std::string& SizeText() const { return sizeText_; }
    // fits: whether the code page holds every character the user typed (the text then has a "?"
    // for each one it does not).
    void SetNameText(std::string_view text, bool fits = true) {
        nameText_ = std::string(text);
        nameFits_ = fits;
    }
    void SetAddressText(std::string_view text) { addressText_ = std::string(text); }
    void SetSizeText(std::string_view text) { sizeText_ = std::string(text); }

    // Leaving a field puts its value into the module (a text that is no number, or a name the code
    // page cannot hold, changes nothing).
    void LeaveName();
    void LeaveAddress();
    void LeaveSize();

    // The units of the two lists, in the order they are shown.
    std::vector<const tModUnit*> UsedUnits() const;
    std::vector<const tModUnit*> UnusedUnits() const;

    // Moves the unplaced units at these list indexes into the module, from the bottom up, through
    // the insert rules; without a selection the current one, without that a beep.
    void InsertUnits(std::span<const int> selected, int current);
    // Moves the used units at these list indexes back to the unplaced units; without a selection
    // it says so.
    void RemoveUnits(std::span<const int> selected);
    void RemoveAll();
    // "Inteligently insert all units": passes over the unplaced units, each taking every unit that
    // suits the module and still fits its size, until a pass takes nothing.
    void InsertAll();

    // The size labels.
    static std::string UnitSizeText(const tModUnit* unit);
    std::string UnitsSizeText() const;
    std::string RestSizeText() const;

    // The checks of OK in their order, on the field texts; on success the module takes them.
    TEditorOkResult Ok();
    // Puts the module back as it was: its values, exactly its units, the design's Changed and Unsaved
    // marks.
    void Cancel();

private:
    struct Snapshot {
        std::string Name;
        std::uint16_t Address = 0;
        std::uint32_t Length = 0;
        std::uint32_t Used = 0;
        std::uint32_t ModuleLength = 0;
        std::vector<const tModUnit*> Units;
        bool Changed = false;
        bool Unsaved = false;
    };

    void SetChanged();
    // Moves the units through the insert rules, last first; answers how many moved.
    int InsertByRules(const std::vector<const tModUnit*>& units);
    // Moves units from the module to the unplaced ones.
    void MoveOut(const std::vector<const tModUnit*>& units);
    // Whether insert-all takes the unit into the module as it is now.
    bool Suits(const tModUnit& unit) const;
    void ShowFields();

    tModule& module_;
    tModule& unplaced_;
    tModuleCollection* design_;
    Snapshot snapshot_;
    std::string nameText_;
    bool nameFits_ = true;
    std::string addressText_;
    std::string sizeText_;
};

} // namespace ravlo
