// A .c38 file (the 386 board's setup record) as the program opens it: refused unless it is exactly
// one record, then decoded, checked and shown in the setup dialog's controls, whose validators are
// the record's encoder. The dialog checks the setting the record holds; stored without a change the
// record keeps its bytes. The bytes after the record pick entries and toggle boxes as a user would:
// stored, the record holds what the controls show and keeps every bit no control covers.
#include "framework/app_data.h"
#include "fuzz_support.h"
#include "shell/cfg386_setup.h"
#include "shell/main_enum_types.h"
#include "shell/setup_files.h"
#include "support/fake_val_control.h"

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

using namespace ravlo;

namespace {

using Record = std::vector<std::uint8_t>;
using ravlo::testing::FakeValControl;

// The bits that some control writes: the sockets' type, chip and operating size (even bytes) and
// access time (odd bytes), the ROM spaces, the SMM, DMA and SSIO boxes, the 25 MHz and video boxes.
constexpr std::array<std::uint8_t, kCfg386RecSize> kCovered{0xFF, 0x07, 0xFF, 0x07, 0xFF, 0x07, 0xFF,
                                                            0x07, 0xFF, 0xFF, 0xFF, 0x0F, 0x41};

// The dialog's controls without the dialog.
class Controls {
public:
    Controls() {
        const auto add = [this](TCtrlClass ctrlClass) {
            return all_.emplace_back(std::make_unique<FakeValControl>(ctrlClass)).get();
        };
        for (std::size_t i = 0; i < 4; ++i) {
            c_.cbxMT[i] = add(TCtrlClass::ComboBox);
            c_.cbxChip[i] = add(TCtrlClass::ComboBox);
            c_.cbxOM[i] = add(TCtrlClass::ComboBox);
            c_.cbxAT[i] = add(TCtrlClass::ComboBox);
        }
        for (TValControl** combo :
             {&c_.cbxHAdr, &c_.cbxHSize, &c_.cbxCAdr, &c_.cbxCSize, &c_.cbxLAdr, &c_.cbxLSize}) {
            *combo = add(TCtrlClass::ComboBox);
        }
        for (TValControl** box :
             {&c_.cbSMM, &c_.cbDMA2, &c_.cbDMA1, &c_.cbSSIO, &c_.cb25MHz, &c_.cbVideoWr}) {
            *box = add(TCtrlClass::CheckBox);
        }
    }

    // Shows record, which the validator then stores into.
    void Bind(TRecordValidator& validator, Record& record) const {
        validator.TransferTo(Cfg386Bindings(c_), record);
    }
    TCfg386Setting Setting() const { return SettingOfControls(c_); }

    // A byte per control: a non-zero one picks an entry of a combo box, an odd one toggles a box.
    void Edit(fuzz::FuzzInput& input) {
        for (const auto& control : all_) {
            const std::uint8_t byte = input.Byte();
            if (control->CtrlClass() == TCtrlClass::CheckBox) {
                control->checked = control->checked != ((byte & 1) != 0);
            } else if (byte != 0 && !control->items.empty()) {
                control->itemIndex = static_cast<std::int32_t>((byte - 1u) % control->items.size());
            }
        }
    }

    // What the controls show: the selected entries and the boxes checked.
    std::vector<std::int32_t> Shown() const {
        std::vector<std::int32_t> shown;
        for (const auto& control : all_) {
            shown.push_back(control->CtrlClass() == TCtrlClass::CheckBox ? control->checked
                                                                         : control->itemIndex);
        }
        return shown;
    }

private:
    TCfg386Controls c_;
    std::vector<std::unique_ptr<FakeValControl>> all_;
};

void CheckFile(std::span<const std::uint8_t> bytes) {
    const std::filesystem::path file = fuzz::WriteScratchFile("FUZZ.C38", fuzz::AsText(bytes));
    const std::optional<Record> any = ReadSetupFile(file, std::nullopt);
    fuzz::Check(any.has_value() == SetupBoardOfSize(bytes.size()).has_value(),
                "a setup file of either board is read, any other file refused");
    const std::optional<Record> record = ReadSetupFile(file, TSetupBoard::Vok386);
    fuzz::Check(record.has_value() == (bytes.size() == kCfg386RecSize), "a .c38 is exactly one record");
    fuzz::Check(!record || std::equal(record->begin(), record->end(), bytes.begin(), bytes.end()),
                "a .c38 is read as it stands");
    fuzz::Check(DecodeCfg386(bytes).has_value() == (bytes.size() == kCfg386RecSize),
                "only one record decodes");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::SilenceMessageBoxes();
    AppExtension().AppData = std::make_unique<TAppData>();
    CreateMainEnumTypes(*AppExtension().AppData);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput input(data, size);
    CheckFile({data, size});
    if (size < kCfg386RecSize) {
        return 0;
    }
    const std::span<const std::uint8_t> original = input.Bytes(kCfg386RecSize);
    const TCfg386Setting setting = *DecodeCfg386(original);
    const TCfg386Check check = CheckSetting(setting);
    fuzz::Check(check.Ok == (check.Status == "Ok"), "a setting is usable exactly when its status says Ok");

    Record record(original.begin(), original.end());
    Controls controls;
    TRecordValidator validator;
    controls.Bind(validator, record);
    fuzz::Check(controls.Setting() == setting, "the dialog checks the setting the record holds");
    fuzz::Check(validator.ValidateAndStore(), "a record shown is accepted");
    fuzz::Check(std::equal(record.begin(), record.end(), original.begin(), original.end()),
                "a record shown and stored keeps its bytes");

    controls.Edit(input);
    fuzz::Check(validator.ValidateAndStore(), "entries picked are accepted");
    fuzz::Check(DecodeCfg386(record) == controls.Setting(), "the record stored holds what the controls show");
    for (std::size_t i = 0; i < kCfg386RecSize; ++i) {
        fuzz::Check(((record[i] ^ original[i]) & ~kCovered[i]) == 0, "the bits no control covers are kept");
    }
    Record again = record;
    Controls shown;
    TRecordValidator rebound;
    shown.Bind(rebound, again);
    fuzz::Check(shown.Shown() == controls.Shown(), "the record stored shows as it was edited");
    return 0;
}
