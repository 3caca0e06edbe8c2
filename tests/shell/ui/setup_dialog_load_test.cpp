// A setup file loaded from disk into an open BIOS setup dialog on the offscreen platform: the
// controls show it, the check runs on it, and "Save to Vok" hands it to the caller.
#include "framework/app_data.h"
#include "framework/ui/qt_test_app.h"
#include "framework/ui/radio_group_box.h"
#include "shell/main_enum_types.h"
#include "shell/ui/config188_dialog.h"
#include "shell/ui/config386_dialog.h"
#include "support/app_fixtures.h"
#include "support/box_recorder.h"
#include "support/scratch_dir.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace ravlo {
namespace {

using Bytes = std::vector<std::uint8_t>;

class SetupDialogLoadTest : public ::testing::Test {
protected:
    SetupDialogLoadTest() {
        AppExtension().AppData = std::make_unique<TAppData>();
        CreateMainEnumTypes(*AppExtension().AppData);
    }
    ~SetupDialogLoadTest() override { ResetAppExtension(); }

    std::filesystem::path Write(const std::string& name, const Bytes& bytes) {
        return dir_.Write(name, std::string(bytes.begin(), bytes.end()));
    }
    // The dialog's file dialogs answer file.
    static void Choose(TSetupDialog& dialog, const std::filesystem::path& file) {
        dialog.SetFileChooser([file](const TFileDialogSpec&, bool) { return file; });
    }

    testing::BoxRecorder boxes_;
    testing::ScratchDir dir_;
};

// The simulator's setup, every bit that no control covers set.
const Bytes k386Setup{0xB6, 0xFB, 0x76, 0x01, 0, 0, 0, 0, 0xC5, 0x80, 0x85, 0xF5, 0xBF};

// Opened on a setup that fails its check, a file that passes is loaded: "Save to Vok" gives the
// caller the file's 13 bytes, Cancel the caller's own.
TEST_F(SetupDialogLoadTest, The386DialogChecksTheLoadedFileAndSavesIt) {
    const auto file = Write("good.c38", k386Setup);
    for (const bool save : {true, false}) {
        SCOPED_TRACE(save ? "Save to Vok" : "Cancel");
        Bytes rec = k386Setup;
        rec[0] = 0x40, rec[8] = 0x00; // socket 1 RAM, the high ROM space at 0
        const Bytes before = rec;
        testing::ShownDialogDriver<TConfig386_Dialog> driver([&](TConfig386_Dialog& dialog) {
            EXPECT_EQ(dialog.MemoStatus->toPlainText(),
                      QStringLiteral("Invalid memory type in Socket1 (only FLASH or ROM)"));
            EXPECT_FALSE(dialog.SaveToVok_Button->isEnabled());
            Choose(dialog, file);
            dialog.LoadFromDisk_Button->click();
            EXPECT_EQ(dialog.cbxMT[0]->currentText(), QStringLiteral("FLASH"));
            EXPECT_EQ(dialog.cbxHAdr->currentText(), QStringLiteral("$C0000"));
            EXPECT_EQ(dialog.MemoStatus->toPlainText(), QStringLiteral("Ok"));
            EXPECT_TRUE(dialog.SaveToVok_Button->isEnabled());
            (save ? dialog.SaveToVok_Button : dialog.Cancel_Button)->click();
        });
        EXPECT_EQ(EditConfig386(nullptr, rec, true), save ? mrOk : mrCancel);
        EXPECT_TRUE(driver.Acted());
        EXPECT_EQ(rec, save ? k386Setup : before);
    }
    EXPECT_TRUE(boxes_.texts.empty());
}

// Each bad value of a loaded 188 file is told once, in the order of the record, and replaced by its
// default, which is what the dialog then saves.
TEST_F(SetupDialogLoadTest, The188DialogTellsAndMendsTheBadValuesOfALoadedFile) {
    Bytes bad(32, 0);
    bad[0] = 0x04, bad[1] = 0x53, bad[2] = 0x22, bad[29] = 0xAF, bad[31] = 0x77;
    const std::string_view name = "kernel  sys";
    std::copy(name.begin(), name.end(), bad.begin() + 16);
    const auto file = Write("bad.c18", bad);
    Bytes rec(32, 0);
    rec[0] = 0x04, rec[1] = 0x08, rec[30] = 0x01;
    const std::string_view good = "KERNEL  SYS";
    std::copy(good.begin(), good.end(), rec.begin() + 16);
    testing::ShownDialogDriver<TConfig188_Dialog> driver([&](TConfig188_Dialog& dialog) {
        EXPECT_TRUE(boxes_.texts.empty()) << "the caller's record is sound";
        Choose(dialog, file);
        dialog.LoadFromDisk_Button->click();
        EXPECT_EQ(boxes_.texts,
                  (std::vector<std::string>{
                      "Error in \"Flash chip memory size\"!\rDefault value 512KB is used",
                      "Error in \"Extended access time\"!\rDefault value 1 is used",
                      "Error in \"CF Boot | Boot file name\"!\rDafault value \"KERNEL.SYS\" is used",
                      "Error in \"CF Booting | Segment\"!\rDefault value $0100 is used",
                  }));
        EXPECT_EQ(dialog.rgBankHigh->ItemIndex(), 3);
        EXPECT_EQ(dialog.WSEAT_ComboBox->currentIndex(), 1);
        EXPECT_EQ(dialog.edCFFileName->text(), QStringLiteral("KERNEL"));
        EXPECT_EQ(dialog.edSegment->text(), QStringLiteral("$0100"));
        dialog.SaveToVok_Button->click();
    });
    EXPECT_EQ(EditConfig188(nullptr, rec, true), mrOk);
    EXPECT_TRUE(driver.Acted());
    Bytes mended = bad;
    mended[1] = 0x58, mended[2] = 0x12, mended[29] = 0x00, mended[30] = 0x01;
    std::copy(good.begin(), good.end(), mended.begin() + 16);
    EXPECT_EQ(rec, mended) << "the bits of no field as in the file";
}

} // namespace
} // namespace ravlo
