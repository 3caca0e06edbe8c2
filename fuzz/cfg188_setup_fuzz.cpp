// A .c18 file (the 188 board's setup record) as the program opens it: refused unless it is exactly
// one record, then decoded, every bad value replaced by its default, and encoded back as the setup
// dialog saves it. A value is corrected exactly when its message is given, and a corrected record
// decodes to the same edit record without a word. Encoding writes the fields and keeps every bit no
// field covers: the decoded record encodes to itself, and the edit record of a second record (the
// bytes after the first) encoded into the first decodes to that edit record. Shown in the dialog's
// controls and stored unchanged, the edit record keeps its bytes; after the dialog's rules, what the
// dialog saves decodes to what it showed.
#include "framework/app_data.h"
#include "framework/record_validator.h"
#include "fuzz_support.h"
#include "shell/cfg188_controls.h"
#include "shell/cfg188_setup.h"
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

// The bits that no field covers: the high bits of the first four bytes (start, flash, wait states,
// NMI), bytes 4 to 15 and the last byte. Bytes 27 and 28 are written as zeros.
constexpr std::array<std::uint8_t, kCfg188RecSize> kKept{
    0xE0, 0xF0, 0xC0, 0xFC, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0xFF};
// The boot file name and extension, each ending at its first blank.
constexpr std::array<std::pair<std::size_t, std::size_t>, 2> kNameFields{{{16, 8}, {24, 3}}};

bool KeepsUncoveredBits(const TCfg188Rec& record, std::span<const std::uint8_t> original) {
    for (std::size_t i = 0; i < kCfg188RecSize; ++i) {
        if (((record[i] ^ original[i]) & kKept[i]) != 0) {
            return false;
        }
    }
    return true;
}

// The record as it encodes after decoding: the name fields cut at their first blank, bytes 27 and
// 28 cleared.
TCfg188Rec Normalised(TCfg188Rec record) {
    for (const auto& [at, length] : kNameFields) {
        const auto field = std::span(record).subspan(at, length);
        std::fill(std::find(field.begin(), field.end(), std::uint8_t{' '}), field.end(), std::uint8_t{' '});
    }
    record[27] = record[28] = 0;
    return record;
}

// The dialog's controls without the dialog.
class Controls {
public:
    Controls() {
        const auto add = [this](TCtrlClass ctrlClass) {
            return all_.emplace_back(std::make_unique<FakeValControl>(ctrlClass)).get();
        };
        c_.cbCFBoot = add(TCtrlClass::CheckBox);
        c_.cbSpustitVRam = add(TCtrlClass::CheckBox);
        for (TValControl*& button : c_.AZPK) {
            button = add(TCtrlClass::RadioButton);
        }
        c_.rgBankHigh = add(TCtrlClass::RadioGroup);
        c_.rgBankLow = add(TCtrlClass::RadioGroup);
        c_.WSIOBUS_ComboBox = add(TCtrlClass::ComboBox);
        c_.WSEAT_ComboBox = add(TCtrlClass::ComboBox);
        c_.NMIWP_CheckBox = add(TCtrlClass::CheckBox);
        c_.NMIPFI_CheckBox = add(TCtrlClass::CheckBox);
        c_.edCFFileName = add(TCtrlClass::Edit);
        c_.CFFileExt_Edit = add(TCtrlClass::Edit);
        c_.edSegment = add(TCtrlClass::Edit);
    }

    // Shows the edit record, which the validator then stores into.
    void Bind(TRecordValidator& validator, TCfg188EditRec& edit) const {
        validator.TransferTo(Cfg188Bindings(c_), edit);
    }
    void ApplyRules() const { ApplyCfg188Rules(c_); }

private:
    TCfg188Controls c_;
    std::vector<std::unique_ptr<FakeValControl>> all_;
};

void CheckFile(std::span<const std::uint8_t> bytes) {
    const std::filesystem::path file = fuzz::WriteScratchFile("FUZZ.C18", fuzz::AsText(bytes));
    const std::optional<Record> any = ReadSetupFile(file, std::nullopt);
    fuzz::Check(any.has_value() == SetupBoardOfSize(bytes.size()).has_value(),
                "a setup file of either board is read, any other file refused");
    const std::optional<Record> record = ReadSetupFile(file, TSetupBoard::Vok188);
    fuzz::Check(record.has_value() == (bytes.size() == kCfg188RecSize), "a .c18 is exactly one record");
    fuzz::Check(!record || std::equal(record->begin(), record->end(), bytes.begin(), bytes.end()),
                "a .c18 is read as it stands");
    fuzz::Check(DecodeCfg188(bytes).has_value() == (bytes.size() == kCfg188RecSize),
                "only one record decodes");
}

void CheckDecoded(const TCfg188Decoded& decoded, std::span<const std::uint8_t> original) {
    fuzz::Check(decoded.Errors.empty() ==
                    std::equal(decoded.Raw.begin(), decoded.Raw.end(), original.begin()),
                "a value is corrected exactly when its message is given");
    fuzz::Check(KeepsUncoveredBits(decoded.Raw, original), "decoding keeps the bits no field covers");
    const TCfg188Decoded again = *DecodeCfg188(decoded.Raw);
    fuzz::Check(again.Errors.empty() && again.Raw == decoded.Raw && again.Edit == decoded.Edit,
                "a corrected record decodes to the same edit record without a word");
    fuzz::Check(UnpackCfg188Edit(PackCfg188Edit(decoded.Edit)) == decoded.Edit,
                "the dialog's edit record holds every field");
    TCfg188Rec encoded = decoded.Raw;
    EncodeCfg188(decoded.Edit, encoded);
    fuzz::Check(encoded == Normalised(decoded.Raw), "a decoded record encodes to itself");
}

// The dialog shows the edit record and stores it back when OK is pressed; the file it saves is the
// edit record encoded into the record it was opened with.
void CheckDialog(const TCfg188Decoded& decoded) {
    const TCfg188EditRec shown = PackCfg188Edit(decoded.Edit);
    TCfg188EditRec edit = shown;
    Controls controls;
    TRecordValidator validator;
    controls.Bind(validator, edit);
    fuzz::Check(validator.ValidateAndStore() && edit == shown,
                "an edit record shown and stored keeps its bytes");

    controls.ApplyRules();
    fuzz::Check(validator.ValidateAndStore(), "the dialog's rules leave a valid setting");
    TCfg188Rec saved = decoded.Raw;
    EncodeCfg188(UnpackCfg188Edit(edit), saved);
    const TCfg188Decoded reread = *DecodeCfg188(saved);
    fuzz::Check(reread.Errors.empty() && reread.Edit == UnpackCfg188Edit(edit),
                "the dialog saves a record that decodes to what it showed");
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
    if (size < kCfg188RecSize) {
        return 0;
    }
    const std::span<const std::uint8_t> original = input.Bytes(kCfg188RecSize);
    const TCfg188Decoded decoded = *DecodeCfg188(original);
    CheckDecoded(decoded, original);
    CheckDialog(decoded);

    if (input.Remaining() < kCfg188RecSize) {
        return 0;
    }
    const TCfg188Edit other = DecodeCfg188(input.Bytes(kCfg188RecSize))->Edit;
    TCfg188Rec encoded = decoded.Raw;
    EncodeCfg188(other, encoded);
    fuzz::Check(KeepsUncoveredBits(encoded, original), "encoding keeps the bits no field covers");
    const TCfg188Decoded reread = *DecodeCfg188(encoded);
    fuzz::Check(reread.Errors.empty() && reread.Edit == other, "an edit record encoded decodes to itself");
    return 0;
}
