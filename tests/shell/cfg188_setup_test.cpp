// The 188 setup record on bytes: decoding with its corrections and their messages, encoding that
// keeps the bits no field covers, and the controls' rules.
#include "framework/app_data.h"
#include "shell/cfg188_controls.h"
#include "shell/cfg188_setup.h"
#include "shell/main_enum_types.h"
#include "support/box_recorder.h"
#include "support/fake_val_control.h"

#include <functional>
#include <gtest/gtest.h>

namespace ravlo {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::FakeValControl;

// Code at $80000, 512 kB flash, 3 wait states with extended access 1, both NMIs, KERNEL.SYS at $0100.
Bytes Clean() {
    Bytes raw(32);
    raw[0] = 0x04, raw[1] = 0x08, raw[2] = 0x13, raw[3] = 0x03, raw[30] = 0x01;
    const std::string_view file = "KERNEL  SYS";
    std::copy(file.begin(), file.end(), raw.begin() + 16);
    return raw;
}

std::string Default(std::string_view field, std::string_view value) {
    return "Error in \"" + std::string(field) + "\"!\rDefault value " + std::string(value) + " is used";
}

TEST(Cfg188Setup, DecodingReplacesEachBadValueByItsDefaultWithItsMessage) {
    struct Case {
        std::vector<std::pair<int, std::uint8_t>> bytes;
        std::vector<std::string> errors;
        // What the decoded record and edit record hold.
        std::function<void(const TCfg188Decoded&)> check;
    };
    const std::string kernel = "Error in \"CF Boot | Boot file name\"!\rDafault value \"KERNEL.SYS\" is used";
    const Case cases[] = {
        {{},
         {},
         [](const TCfg188Decoded& d) {
             EXPECT_EQ(d.Edit, (TCfg188Edit{0, 0, 16, 3, 0, 3, 1, 3, "KERNEL", "SYS", 0x0100}));
             EXPECT_EQ(Bytes(d.Raw.begin(), d.Raw.end()), Clean());
         }},
        {{{1, 0xA3}},
         {Default("Flash chip memory size", "512KB")},
         [](const TCfg188Decoded& d) {
             EXPECT_EQ(d.Edit.BankHigh * 10 + d.Edit.BankLow, 30);
             EXPECT_EQ(d.Raw[1], 0xA8) << "the default in the low nibble, the high one kept";
         }},
        {{{1, 0x0A}},
         {},
         [](const TCfg188Decoded& d) {
             EXPECT_EQ(d.Edit.BankLow, 2);
         }},
        {{{1, 0x02}},
         {},
         [](const TCfg188Decoded& d) {
             EXPECT_EQ(d.Edit.BankHigh, 1);
         }},
        {{{2, 0x22}},
         {Default("Extended access time", "1")},
         [](const TCfg188Decoded& d) {
             EXPECT_EQ(d.Edit.ExtAccess, 1);
             EXPECT_EQ(d.Raw[2], 0x12);
         }},
        // One wait state allows no extended access at all: the default is what it allows.
        {{{2, 0xD1}},
         {Default("Extended access time", "0")},
         [](const TCfg188Decoded& d) {
             EXPECT_EQ(d.Raw[2], 0xC1);
         }},
        {{{2, 0x00}},
         {},
         [](const TCfg188Decoded& d) {
             EXPECT_EQ(d.Edit.WaitStates, 0);
         }},
        {{{0, 0xFE}},
         {Default("Start of code memory", "$80000")},
         [](const TCfg188Decoded& d) {
             EXPECT_EQ(d.Edit.CodeStartBit, 16);
             EXPECT_TRUE(d.Edit.RunFromCF == 1 && d.Edit.RunInRam == 1);
             EXPECT_EQ(d.Raw[0], 0xFC);
         }},
        {{{0, 0x00}},
         {},
         [](const TCfg188Decoded& d) {
             EXPECT_EQ(d.Edit.CodeStartBit, 1);
         }},
        {{{16, 'A'}, {17, ' '}, {25, 'y'}},
         {kernel},
         [](const TCfg188Decoded& d) {
             EXPECT_EQ(d.Edit.BootName, "KERNEL");
             EXPECT_EQ(Bytes(d.Raw.begin(), d.Raw.end()), Clean());
         }},
        {{{16, 'A'}, {17, ' '}, {24, '~'}, {25, ' '}},
         {},
         [](const TCfg188Decoded& d) {
             EXPECT_EQ(d.Edit.BootName, "A");
             EXPECT_EQ(d.Edit.BootExt, "~");
         }},
        {{{29, 0xAF}, {30, 0x00}},
         {Default("CF Booting | Segment", "$0100")},
         [](const TCfg188Decoded& d) {
             EXPECT_EQ(d.Edit.BootSeg, 0x0100);
         }},
        {{{0, 0x05}, {29, 0x01}, {30, 0xFD}},
         {Default("Start of code memory", "$80000"), Default("CF Booting | Segment", "$0100")},
         [](const TCfg188Decoded& d) {
             EXPECT_EQ((Bytes{d.Raw[29], d.Raw[30]}), (Bytes{0x00, 0x01}));
         }},
        {{{29, 0xB0}, {30, 0x00}},
         {},
         [](const TCfg188Decoded& d) {
             EXPECT_EQ(d.Edit.BootSeg, 0x00B0);
         }},
        {{{29, 0x00}, {30, 0xFD}},
         {},
         [](const TCfg188Decoded& d) {
             EXPECT_EQ(d.Edit.BootSeg, 0xFD00);
         }},
    };
    for (const Case& c : cases) {
        Bytes raw = Clean();
        for (const auto& [at, value] : c.bytes) {
            raw[at] = value;
        }
        const std::optional<TCfg188Decoded> decoded = DecodeCfg188(raw);
        ASSERT_TRUE(decoded.has_value());
        SCOPED_TRACE(::testing::PrintToString(raw));
        EXPECT_EQ(decoded->Errors, c.errors);
        c.check(*decoded);
        // What was decoded, once corrected, decodes again without a word.
        EXPECT_TRUE(DecodeCfg188(decoded->Raw)->Errors.empty());
    }
    EXPECT_FALSE(DecodeCfg188(Bytes(31)).has_value());
    EXPECT_FALSE(DecodeCfg188(Bytes(33)).has_value());
}

TEST(Cfg188Setup, EncodingWritesTheFieldsAndKeepsEveryOtherBit) {
    Bytes raw = Clean();
    for (std::size_t i = 4; i < 16; ++i) {
        raw[i] = static_cast<std::uint8_t>(0x31 * i);
    }
    raw[0] |= 0xE0, raw[1] |= 0x50, raw[2] |= 0xC0, raw[3] |= 0xF4, raw[27] = 7, raw[28] = 8, raw[31] = 0x99;
    TCfg188Decoded decoded = DecodeCfg188(raw).value();
    EncodeCfg188(decoded.Edit, decoded.Raw);
    Bytes expected = raw;
    expected[27] = expected[28] = 0;
    EXPECT_EQ(Bytes(decoded.Raw.begin(), decoded.Raw.end()), expected);

    const TCfg188Edit edit{1, 1, 2, 3, 2, 5, 3, 1, "AUTOEXEC", "BA", 0x1234};
    EXPECT_EQ(UnpackCfg188Edit(PackCfg188Edit(edit)), edit);
    EncodeCfg188(edit, decoded.Raw);
    expected[0] = 0xF9, expected[1] = 0x5A, expected[2] = 0xF5, expected[3] = 0xF5;
    const std::string_view file = "AUTOEXECBA ";
    std::copy(file.begin(), file.end(), expected.begin() + 16);
    expected[29] = 0x34, expected[30] = 0x12;
    EXPECT_EQ(Bytes(decoded.Raw.begin(), decoded.Raw.end()), expected);
}

class Cfg188ControlsTest : public ::testing::Test {
protected:
    Cfg188ControlsTest() : radios_(5, FakeValControl(TCtrlClass::RadioButton)) {
        AppExtension().AppData = std::make_unique<TAppData>();
        CreateMainEnumTypes(*AppExtension().AppData);
        c.cbCFBoot = &cf_, c.cbSpustitVRam = &ram_, c.rgBankHigh = &high_, c.rgBankLow = &low_;
        for (std::size_t i = 0; i < radios_.size(); ++i) {
            c.AZPK[i] = &radios_[i];
        }
        c.WSIOBUS_ComboBox = &waits_, c.WSEAT_ComboBox = &access_, c.NMIWP_CheckBox = &nmiWrite_;
        c.NMIPFI_CheckBox = &nmiPower_, c.edCFFileName = &name_, c.CFFileExt_Edit = &ext_,
        c.edSegment = &seg_;
        AddCfg188Rules(c);
    }
    ~Cfg188ControlsTest() override { ResetAppExtension(); }

    std::vector<bool> Enabled() const {
        std::vector<bool> enabled;
        for (const FakeValControl& radio : radios_) {
            enabled.push_back(radio.enabled);
        }
        return enabled;
    }
    // The one radio button checked; -1 for none or several.
    int Checked() const {
        int found = -1, count = 0;
        for (std::size_t i = 0; i < radios_.size(); ++i) {
            if (radios_[i].checked) {
                found = static_cast<int>(i);
                ++count;
            }
        }
        return count == 1 ? found : -1;
    }

    FakeValControl cf_{TCtrlClass::CheckBox}, ram_{TCtrlClass::CheckBox};
    std::vector<FakeValControl> radios_;
    FakeValControl high_{TCtrlClass::RadioGroup}, low_{TCtrlClass::RadioGroup};
    FakeValControl waits_{TCtrlClass::ComboBox}, access_{TCtrlClass::ComboBox};
    FakeValControl nmiWrite_{TCtrlClass::CheckBox}, nmiPower_{TCtrlClass::CheckBox};
    FakeValControl name_, ext_, seg_;
    TCfg188Controls c;
    testing::BoxRecorder boxes_;
};

TEST_F(Cfg188ControlsTest, BanksStartAddressCardAndAccessTimeFollowTheRules) {
    TCfg188EditRec rec = PackCfg188Edit(DecodeCfg188(Clean())->Edit);
    TRecordValidator validator;
    validator.TransferTo(Cfg188Bindings(c), rec);
    ApplyCfg188Rules(c);
    EXPECT_EQ(seg_.text, "$0100");
    EXPECT_EQ(Enabled(), (std::vector<bool>{false, false, false, false, true}));
    EXPECT_EQ(Checked(), 4);
    EXPECT_FALSE(name_.enabled) << "no CF boot";

    low_.Click(3);
    radios_[4].checked = false;
    radios_[0].checked = true;
    low_.Click(1);
    EXPECT_EQ(Enabled(), (std::vector<bool>{false, false, false, true, true}));
    EXPECT_EQ(Checked(), 3) << "the start no longer allowed moved to the lowest allowed";
    high_.Click(2);
    EXPECT_EQ(low_.itemIndex, 0);
    EXPECT_FALSE(low_.enabled);
    EXPECT_EQ(Checked(), 4);
    high_.Click(3);
    EXPECT_TRUE(low_.enabled);

    cf_.checked = true;
    cf_.Click(0);
    EXPECT_TRUE(name_.enabled && ext_.enabled && seg_.enabled);

    waits_.Click(1);
    EXPECT_EQ(access_.itemIndex, 0) << "one wait state allows no extended access";
    EXPECT_TRUE(boxes_.texts.empty());
    waits_.Click(4);
    access_.Click(3);
    EXPECT_EQ(boxes_.Take(), "");
    waits_.Click(2);
    access_.Click(2);
    EXPECT_EQ(boxes_.Take(), "Number of Extended Access Time can't be longer than number of WaitStates.");
    EXPECT_EQ(access_.itemIndex, 1);

    name_.text = "BOOT";
    ASSERT_TRUE(validator.ValidateAndStore());
    EXPECT_EQ(UnpackCfg188Edit(rec), (TCfg188Edit{1, 0, 16, 3, 0, 2, 1, 3, "BOOT", "SYS", 0x0100}));
    name_.text = "boot";
    EXPECT_FALSE(validator.ValidateAndStore());
}

} // namespace
} // namespace ravlo
