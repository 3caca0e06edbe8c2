// The setup dialogs on the offscreen platform: what they show of a record, the check and the rules
// as the user changes controls, loading and saving files, and what OK and Cancel leave in the record.
#include "framework/app_data.h"
#include "framework/ui/qt_test_app.h"
#include "framework/ui/radio_group_box.h"
#include "shell/main_enum_types.h"
#include "shell/ui/config188_dialog.h"
#include "shell/ui/config386_dialog.h"
#include "support/app_fixtures.h"
#include "support/box_recorder.h"
#include "support/scratch_dir.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace ravlo {
namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes kSetup386{0xB6, 0x03, 0x76, 0x01, 0, 0, 0, 0, 0xC5, 0x80, 0x85, 0x00, 0x40};

void Pick(QComboBox* combo, int index) {
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

class SetupDialogsTest : public ::testing::Test {
protected:
    SetupDialogsTest() {
        AppExtension().AppData = std::make_unique<TAppData>();
        CreateMainEnumTypes(*AppExtension().AppData);
    }
    ~SetupDialogsTest() override { ResetAppExtension(); }

    // The file dialogs answer file.
    void ChooseFile(TSetupDialog& dialog, const std::filesystem::path& file) {
        dialog.SetFileChooser([file](const TFileDialogSpec&, bool) { return file; });
    }
    Bytes FileBytes(const std::string& name) const {
        const std::string text = testing::ReadFileText(dir_.Path() / name);
        return Bytes(text.begin(), text.end());
    }

    testing::BoxRecorder boxes_;
    testing::ScratchDir dir_;
};

TEST_F(SetupDialogsTest, The386DialogChecksEveryChangeAndSavesTheRecord) {
    Bytes rec = kSetup386;
    testing::ShownDialogDriver<TConfig386_Dialog> driver([this](TConfig386_Dialog& dialog) {
        EXPECT_EQ(dialog.cbxHAdr->currentText(), QStringLiteral("$C0000"));
        EXPECT_EQ(dialog.MemoStatus->toPlainText(), QStringLiteral("Ok"));
        EXPECT_EQ(dialog.MemoStatus->palette().color(QPalette::Text), QColor(0, 0x80, 0));
        EXPECT_TRUE(dialog.SaveToVok_Button->isEnabled());
        Pick(dialog.cbxMT[0], 1);
        EXPECT_EQ(dialog.MemoStatus->toPlainText(),
                  QStringLiteral("Invalid memory type in Socket1 (only FLASH or ROM)"));
        EXPECT_FALSE(dialog.SaveToVok_Button->isEnabled());
        Pick(dialog.cbxMT[0], 3);
        Pick(dialog.cbxOM[0], 5);
        EXPECT_EQ(dialog.lblExtDisk[0]->text(), QStringLiteral("256 kB"));
        dialog.SetConnected(false);
        EXPECT_FALSE(dialog.SaveToVok_Button->isEnabled()) << "Ok, but no board";
        dialog.SetConnected(true);

        ChooseFile(dialog, dir_.Write("short.c38", std::string(12, '\0')));
        dialog.LoadFromDisk_Button->click();
        EXPECT_EQ(boxes_.Take(),
                  "File \"" + (dir_.Path() / "short.c38").string() + "\" doesn't contain valid BIOS setup!");
        EXPECT_EQ(dialog.cbxMT[0]->currentIndex(), 3) << "the values stay";
        ChooseFile(dialog, dir_.Path() / "saved.c38");
        dialog.SaveToDisk_Button->click();
        EXPECT_TRUE(boxes_.texts.empty());
        dialog.SaveToVok_Button->click();
    });
    EXPECT_EQ(EditConfig386(nullptr, rec, true), mrOk);
    EXPECT_TRUE(driver.Acted());
    Bytes expected = kSetup386;
    expected[0] = 0xF5;
    EXPECT_EQ(rec, expected);
    EXPECT_EQ(FileBytes("saved.c38"), expected);
}

TEST_F(SetupDialogsTest, The188DialogDecodesAppliesItsRulesAndEncodesOnSave) {
    Bytes rec(32, 0);
    rec[0] = 0x04, rec[1] = 0x73, rec[2] = 0x13, rec[30] = 0x01, rec[31] = 0xEE;
    const std::string_view file = "KERNEL  SYS";
    std::copy(file.begin(), file.end(), rec.begin() + 16);
    dir_.Write("other.bin", std::string(32, '\x7F'));
    testing::ShownDialogDriver<TConfig188_Dialog> driver([this](TConfig188_Dialog& dialog) {
        EXPECT_EQ(boxes_.Take(), "Error in \"Flash chip memory size\"!\rDefault value 512KB is used");
        EXPECT_EQ(dialog.rgBankHigh->ItemIndex(), 3);
        EXPECT_FALSE(dialog.SaveToVok_Button->isEnabled()) << "no board";
        EXPECT_FALSE(dialog.edCFFileName->isEnabled());
        dialog.rgBankHigh->findChildren<QRadioButton*>()[2]->click();
        EXPECT_FALSE(dialog.rgBankLow->isEnabled());
        EXPECT_TRUE(dialog.AZPK[4]->isChecked());
        EXPECT_FALSE(dialog.AZPK[3]->isEnabled());
        Pick(dialog.WSEAT_ComboBox, 3);
        EXPECT_EQ(boxes_.Take(), "Number of Extended Access Time can't be longer than number of WaitStates.");
        EXPECT_EQ(dialog.WSEAT_ComboBox->currentIndex(), 2);
        dialog.cbCFBoot->click();
        EXPECT_TRUE(dialog.edCFFileName->isEnabled());
        dialog.edSegment->setText(QStringLiteral("$2000"));
        ChooseFile(dialog, dir_.Path() / "saved.c18");
        dialog.SaveToDisk_Button->click();
        // A record full of bad values: every one is told and replaced.
        ChooseFile(dialog, dir_.Path() / "other.bin");
        dialog.LoadFromDisk_Button->click();
        EXPECT_EQ(boxes_.texts.size(), 3u) << "start, flash size and file name";
        dialog.Cancel_Button->click();
    });
    const Bytes before = rec;
    EXPECT_EQ(EditConfig188(nullptr, rec, false), mrCancel);
    EXPECT_TRUE(driver.Acted());
    EXPECT_EQ(rec, before) << "Cancel leaves the record";
    Bytes expected = before;
    expected[0] = 0x14, expected[1] = 0x74, expected[2] = 0x23, expected[29] = 0x00, expected[30] = 0x20;
    EXPECT_EQ(FileBytes("saved.c18"), expected);
}

} // namespace
} // namespace ravlo
