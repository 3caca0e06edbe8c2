#include "project/module_editor.h"

#include "framework/ctrl_validator.h"
#include "platform/presenter.h"
#include "project/insert_rules.h"
#include "project/mem_text.h"
#include "project/module.h"
#include "project/module_collection.h"
#include "project/module_texts.h"
#include "project/project_messages.h"

#include <algorithm>

namespace ravlo {
namespace {

constexpr std::uint32_t kSpaceEnd = 0x100000;  // 1 MB
constexpr std::uint32_t kAddressMax = 0xFFFF0; // the last paragraph
constexpr std::uint16_t kRomAlign = 32;        // segments of a 512-byte boundary
constexpr std::uint16_t kRomLowest = 0x4000;
constexpr std::uint16_t kRamLowest = 0x00B0;
constexpr std::uint16_t kRamHighest = 0x3800;
constexpr std::uint16_t kLoaderLowest = 0xC000;
constexpr std::uint32_t kIromMax = 0x10000;
constexpr std::uint32_t kRamSpaceEnd = 0x80000;
constexpr std::uint16_t kDataSpaceEnd = 0x8000;   // insert-all: data into an empty module below it
constexpr std::uint16_t kCodeSpaceStart = 0x4000; // insert-all: code into an empty module from it
// The default sizes of a new module: the RAM of the boards from $00B00, else a ROM.
constexpr std::uint16_t kRamPresetSeg = 0x00B0;
constexpr std::uint32_t kRamDefaultSize = 0x1E000;
constexpr std::uint32_t kRomDefaultSize = 0x18000;

std::uint16_t SegmentOf(std::int64_t address) {
    return static_cast<std::uint16_t>((static_cast<std::uint64_t>(address) & 0xFFFFF) / 16);
}

std::vector<const tModUnit*> UnitsOf(const tModule& module) {
    std::vector<const tModUnit*> units;
    module.ForEach([&units](const tModUnit& unit) { units.push_back(&unit); });
    return units;
}

// The units at the list indexes, last index first.
std::vector<const tModUnit*> PickBottomUp(const std::vector<const tModUnit*>& list,
                                          std::span<const int> indexes) {
    std::vector<int> sorted(indexes.begin(), indexes.end());
    std::sort(sorted.rbegin(), sorted.rend());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    std::vector<const tModUnit*> units;
    for (const int index : sorted) {
        if (index >= 0 && static_cast<std::size_t>(index) < list.size()) {
            units.push_back(list[static_cast<std::size_t>(index)]);
        }
    }
    return units;
}

} // namespace

TModuleEditor::TModuleEditor(tModule& module, tModule& unplaced, tModuleCollection* design)
    : module_(module), unplaced_(unplaced), design_(design) {
    snapshot_ = {module.Name,
                 module.Address,
                 module.Length,
                 module.Used,
                 module.ModuleLength,
                 UnitsOf(module),
                 design != nullptr && design->Changed,
                 design != nullptr && design->Unsaved};
    ShowFields();
}

void TModuleEditor::ShowFields() {
    nameText_ = module_.Name;
    nameFits_ = true;
    addressText_ = DollarHex5(static_cast<std::uint32_t>(module_.Address) * 16);
    sizeText_ = DollarHex5(module_.Length);
}

void TModuleEditor::SetChanged() {
    if (design_ != nullptr) {
        design_->MarkChanged();
    }
}

void TModuleEditor::LeaveName() {
    if (!nameFits_) {
        return;
    }
    module_.SetName(nameText_);
}

void TModuleEditor::LeaveSize() {
    const auto size = ParseModuleHex(sizeText_);
    if (!size || *size < 0 || static_cast<std::uint32_t>(*size) == module_.Length) {
        return;
    }
    module_.Length = static_cast<std::uint32_t>(*size);
    SetChanged();
}

void TModuleEditor::LeaveAddress() {
    const auto address = ParseModuleHex(addressText_);
    if (!address || *address < 0 || SegmentOf(*address) == module_.Address) {
        return;
    }
    module_.Address = SegmentOf(*address);
    SetChanged();
    if (module_.Length == 0) {
        module_.Length = module_.Address == kRamPresetSeg ? kRamDefaultSize : kRomDefaultSize;
        sizeText_ = DollarHex5(module_.Length);
    }
}

std::vector<const tModUnit*> TModuleEditor::UsedUnits() const {
    return UnitsOf(module_);
}

std::vector<const tModUnit*> TModuleEditor::UnusedUnits() const {
    return UnitsOf(unplaced_);
}

int TModuleEditor::InsertByRules(const std::vector<const tModUnit*>& units) {
    int moved = 0;
    for (const tModUnit* unit : units) {
        if (InsertUnitByRules(module_, unit, unplaced_)) {
            ++moved;
        }
    }
    if (moved > 0) {
        SetChanged();
    }
    return moved;
}

void TModuleEditor::InsertUnits(std::span<const int> selected, int current) {
    const std::vector<const tModUnit*> list = UnusedUnits();
    std::vector<const tModUnit*> units = PickBottomUp(list, selected);
    if (selected.empty()) {
        const int one[] = {current};
        units = PickBottomUp(list, one);
    }
    if (units.empty()) {
        GetPresenter().Beep(MB_OK);
        return;
    }
    InsertByRules(units);
}

void TModuleEditor::RemoveUnits(std::span<const int> selected) {
    const std::vector<const tModUnit*> units = PickBottomUp(UsedUnits(), selected);
    if (units.empty()) {
        ProjectWarning("Before remove, select unit in \"Used units\"");
        return;
    }
    MoveOut(units);
}

void TModuleEditor::RemoveAll() {
    MoveOut(UsedUnits());
}

void TModuleEditor::MoveOut(const std::vector<const tModUnit*>& units) {
    for (const tModUnit* unit : units) {
        MoveUnit(module_, unit, unplaced_);
    }
    if (!units.empty()) {
        SetChanged();
    }
}

bool TModuleEditor::Suits(const tModUnit& unit) const {
    const ModuleT type = module_.MemType();
    if (IsDataKind(unit.Kind)) {
        return type == ModuleT::RAM || (type == ModuleT::NIL && module_.Address < kDataSpaceEnd);
    }
    if (unit.Kind == MUnitT::CodeInDataSeg) {
        return type == ModuleT::IROM;
    }
    if (unit.Kind <= MUnitT::None) {
        return type == ModuleT::ROM || (type == ModuleT::NIL && module_.Address >= kCodeSpaceStart);
    }
    return true;
}

void TModuleEditor::InsertAll() {
    for (;;) {
        std::vector<const tModUnit*> picked;
        // The rounded size, as in every sum of the design, so that the module never overflows.
        std::uint64_t total = module_.Used;
        unplaced_.ForEach([&](const tModUnit& unit) {
            if (Suits(unit) && total + unit.RoundedSize() <= module_.Length) {
                picked.push_back(&unit);
                total += unit.RoundedSize();
            }
        });
        std::reverse(picked.begin(), picked.end());
        // A pass whose units were all refused would pick them again and again.
        if (picked.empty() || InsertByRules(picked) == 0) {
            return;
        }
    }
}

std::string TModuleEditor::UnitSizeText(const tModUnit* unit) {
    return unit == nullptr ? "Unit size:" : "Unit size: " + DollarHex5(unit->RoundedSize());
}

std::string TModuleEditor::UnitsSizeText() const {
    return "Units size: " + SizeWithKb(module_.Used);
}

std::string TModuleEditor::RestSizeText() const {
    if (module_.Used > module_.Length) {
        return "Over size: " + SizeWithKb(module_.Used - module_.Length);
    }
    return "Unused size: " + SizeWithKb(module_.Length - module_.Used);
}

TEditorOkResult TModuleEditor::Ok() {
    // The design file keeps the name without the blanks around it.
    const std::string name(TrimBlanks(nameText_));
    if (name.empty()) {
        ProjectError("Module name can't be empty!");
        return {false, TEditorField::Name};
    }
    // The design file and the image names are stored in the code page: a "?" in place of a letter
    // would name another module.
    if (!nameFits_) {
        ProjectError(NotInCodePageText("Module name"));
        return {false, TEditorField::Name};
    }
    // The design file marks its numbers with "$": such a name could not be read back.
    if (name.find('$') != std::string::npos) {
        ProjectError("Module name can't contain \"$\"!");
        return {false, TEditorField::Name};
    }
    const auto address = ParseModuleHex(addressText_);
    if (!address || *address < 0 || *address > kAddressMax) {
        ProjectError("Start address out of address space or error in value!");
        return {false, TEditorField::Address};
    }
    const auto size = ParseModuleHex(sizeText_);
    if (!size) {
        ProjectError("Error in value of module size!");
        return {false, TEditorField::Size};
    }
    const std::uint16_t segment = SegmentOf(*address);
    const ModuleT type = module_.MemType();
    if (type == ModuleT::ROM && segment % kRomAlign != 0) {
        ProjectError("Incorrect address segment (not at 512 B boundary)!");
        return {false, TEditorField::Address};
    }
    if (type == ModuleT::ROM && segment < kRomLowest) {
        ProjectError("Start address out of range <$40000..$FCF00>!");
        return {false, TEditorField::Address};
    }
    if (type == ModuleT::RAM && (segment < kRamLowest || segment > kRamHighest)) {
        ProjectError("Start address out of range <$00B00..$38000>!");
        return {false, TEditorField::Address};
    }

    // From here every check runs; the first failure takes the focus.
    TEditorField focus = TEditorField::None;
    const auto fail = [&focus](std::string_view text, TEditorField field) {
        ProjectError(text);
        if (focus == TEditorField::None) {
            focus = field;
        }
    };
    const std::int64_t end = std::int64_t{segment} * 16 + *size;
    if (end > kSpaceEnd) {
        fail("Module end beyond 1MB limit!", TEditorField::Size);
    } else if (*size % 256 != 0) {
        fail("Incorrect size (not at 256 B boundary)!", TEditorField::Size);
    }
    if (*size < 1) {
        fail("Incorrect size (minimum size is $100 = 256 B)!", TEditorField::Size);
    }
    if (segment < kLoaderLowest && module_.UnitByName(kLoaderUnitName) != nullptr) {
        fail("Unit \"--LOADER--\" must be placed above $C0000 address!", TEditorField::Address);
    }
    if (type == ModuleT::IROM && *size > kIromMax) {
        fail("Size of module with initialized code exceed 64kB!", TEditorField::Size);
    }
    if (focus != TEditorField::None) {
        return {false, focus};
    }
    // Only a design that passed every check is worth the question.
    if (type == ModuleT::IROM && end > kRamSpaceEnd &&
        !ProjectAskYesNo("IROM module should be in RAM, but is in ROM/FLASH address space.\r\nDo you "
                         "really want it this way ?")) {
        return {false, TEditorField::None};
    }

    module_.SetName(name);
    module_.Address = segment;
    module_.Length = static_cast<std::uint32_t>(*size);
    if (module_.Name != snapshot_.Name || module_.Address != snapshot_.Address ||
        module_.Length != snapshot_.Length || UsedUnits() != snapshot_.Units) {
        SetChanged();
    }
    return {true, TEditorField::None};
}

void TModuleEditor::Cancel() {
    module_.UnplaceAll(unplaced_);
    module_.Name = snapshot_.Name;
    module_.Address = snapshot_.Address;
    module_.Length = snapshot_.Length;
    module_.ModuleLength = snapshot_.ModuleLength;
    // The very units, not units of the same names: names need not be unique.
    for (const tModUnit* unit : snapshot_.Units) {
        MoveUnit(unplaced_, unit, module_);
    }
    module_.Used = snapshot_.Used;
    if (design_ != nullptr) {
        design_->Changed = snapshot_.Changed;
        design_->Unsaved = snapshot_.Unsaved;
    }
    ShowFields();
}

} // namespace ravlo
