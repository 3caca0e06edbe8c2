// The EPROM image window on the offscreen platform: a BIOS setup added for the board kind and a
// user .BIN moved to another address, as the list, the status line, the image files and RTDW.INI
// show them afterwards.
#include "framework/ui/qt_test_app.h"
#include "platform/message_box_flags.h"
#include "platform/presenter.h"
#include "project/eprom_ini.h"
#include "project/project_globals.h"
#include "project/ui/eprom_img_form.h"
#include "support/app_fixtures.h"
#include "support/eprom_fixtures.h"
#include "support/scratch_dir.h"

#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTreeWidget>

namespace ravlo {
namespace {

using testing::RecordingEpromHost;
using testing::ScriptedAddressAsker;

class EpromSetupEditTest : public ::testing::Test {
protected:
    EpromSetupEditTest() {
        ResetProjectGlobals();
        ProjectDir = dir_.Path().string() + "/";
        form_ = new TEpromImg_MDIChildForm(host_);
        form_->SetFileChooser(chooser_.Chooser());
        form_->SetAddressAsker(asker_.Asker());
    }
    ~EpromSetupEditTest() override {
        delete form_;
        ResetProjectGlobals();
        EXPECT_TRUE(presenter_.Faults().empty());
        EXPECT_EQ(presenter_.UnusedAnswers(), 0U);
    }

    template <class Widget>
    Widget& Child(const char* name) const {
        return testing::Child<Widget>(*form_, name);
    }
    QTreeWidget& List() const { return Child<QTreeWidget>("Modules_ListView"); }
    // Name, type, start and end of every row.
    std::vector<QStringList> Rows() const {
        std::vector<QStringList> rows;
        for (int row = 0; row < List().topLevelItemCount(); ++row) {
            const QTreeWidgetItem& item = *List().topLevelItem(row);
            rows.push_back({item.text(0), item.text(1), item.text(2), item.text(3)});
        }
        return rows;
    }
    int SelectedRow() const {
        const QList<QTreeWidgetItem*> selected = List().selectedItems();
        return selected.size() == 1 ? List().indexOfTopLevelItem(selected[0]) : -1;
    }
    std::string Status() const { return Child<QLabel>("StatusText").text().toStdString(); }
    void Click(const char* button) const { Child<QPushButton>(button).click(); }
    void Pick(const char* combo, const char* text) const {
        QComboBox& box = Child<QComboBox>(combo);
        const int index = box.findText(QString::fromLatin1(text));
        ASSERT_GE(index, 0) << text;
        box.setCurrentIndex(index);
        emit box.activated(index);
    }
    void Board(const char* kind) const { Pick("cbVok", kind); }
    // Chooses the file of size bytes (made now) with the next Add BIOS Setup.
    void AddSetup(const char* name, std::size_t size) {
        chooser_.files.push_back(dir_.Write(name, testing::CountingBytes(size, 0x40)));
        Click("btAddSetup");
    }
    void DoubleClickRow(int row) const {
        List().clearSelection();
        List().setCurrentItem(List().topLevelItem(row));
        List().topLevelItem(row)->setSelected(true);
        emit List().itemDoubleClicked(List().topLevelItem(row), 0);
    }
    std::string FileText(const char* name) const { return testing::ReadFileText(dir_ / name); }

    testing::ScratchDir dir_;
    ScriptedPresenter presenter_;
    ScopedPresenter scoped_{presenter_};
    RecordingEpromHost host_;
    ScriptedAddressAsker asker_;
    testing::ScriptedFileChooser chooser_;
    QPointer<TEpromImg_MDIChildForm> form_;
};

TEST_F(EpromSetupEditTest, TheSetupOfTheBoardKindGoesToItsAddressAndIntoTheImage) {
    // A VokV40 has none: the button is off and the command refuses without asking for a file.
    EXPECT_FALSE(Child<QPushButton>("btAddSetup").isEnabled());
    presenter_.QueueAnswer(IDOK);
    form_->btAddSetupClick();
    EXPECT_TRUE(chooser_.specs.empty());
    ASSERT_EQ(presenter_.Boxes().size(), 1U);
    EXPECT_EQ(presenter_.Boxes()[0].text, "VokV40 has no Setup");

    Board("Vok386EXR (16bit)");
    presenter_.QueueAnswer(IDOK);
    AddSetup("long.c38", 14);
    EXPECT_EQ(presenter_.Boxes().back().text, "Setup for Vok386 must be 13 bytes large!");
    EXPECT_TRUE(Rows().empty());
    ASSERT_EQ(chooser_.specs.size(), 1U);
    EXPECT_EQ(std::tie(chooser_.specs[0].Title, chooser_.specs[0].DefaultExt),
              std::make_tuple("Add BIOS Setup for Vok386EXR", "C38"));

    AddSetup("old.c38", 13);
    AddSetup("new.c38", 13);
    EXPECT_EQ(Rows(), (std::vector<QStringList>{{"new", "BIOS Setup", "$FFF00", "$FFF0C"}}))
        << "a new setup takes the place of the old";
    EXPECT_EQ(Status(), "Status: Ok");

    // Two chips of 256 KB: the setup lands at the end of the image, its odd bytes in HI, even in LO.
    presenter_.QueueAnswer(IDOK);
    Click("btCreateImg");
    EXPECT_TRUE(host_.imageOk);
    const std::string setup = FileText("new.c38");
    const std::string hi = FileText("EPROM_HI.BIN");
    const std::string lo = FileText("EPROM_LO.BIN");
    ASSERT_EQ(std::make_pair(hi.size(), lo.size()),
              std::make_pair(std::size_t{0x40000}, std::size_t{0x40000}));
    for (std::size_t i = 0; i < setup.size(); ++i) {
        const std::size_t at = 0x7FF00 + i;
        EXPECT_EQ((at % 2 == 1 ? hi : lo)[at / 2], setup[i]) << i;
    }

    // The 188 board wants its own setup: the 386 one is refused by the check until it is replaced.
    Board("Vok188ER");
    Pick("cbEpromLo", "    0 KB (none)"); // one chip of 256 KB
    EXPECT_EQ(Status(), "Error: Incorrect size of Setup");
    EXPECT_FALSE(Child<QPushButton>("btCreateImg").isEnabled());
    AddSetup("b.c18", 32);
    EXPECT_EQ(chooser_.specs.back().Title, "Add BIOS Setup for Vok188ER");
    EXPECT_EQ(Rows(), (std::vector<QStringList>{{"b", "BIOS Setup", "$FFE00", "$FFE1F"}}));
    EXPECT_EQ(Status(), "Status: Ok");
}

TEST_F(EpromSetupEditTest, EditMovesAUserBinToTheTypedAddressAndItIsSavedThere) {
    Board("Vok188ER");
    asker_.answer = MakeFarPtr(0, 0xF000);
    chooser_.files = {dir_.Write("u1.bin", std::string(0x100, '\x01'))};
    Click("btAddBIN");
    asker_.answer = MakeFarPtr(0, 0xE800);
    chooser_.files = {dir_.Write("u2.bin", std::string(0x100, '\x02')),
                      dir_.Write("bios.bin", testing::BiosBytes(TVokKind::Vok188ER))};
    Click("btAddBIN");
    Click("btAddBIOS");
    ASSERT_EQ(Rows().size(), 3U);
    ASSERT_EQ(Rows()[0][0], QStringLiteral("u2"));

    // Without a selection.
    List().clearSelection();
    presenter_.QueueAnswer(IDOK);
    form_->btEditClick();
    EXPECT_EQ(presenter_.Boxes().back().text, "Select module before editate.");

    // The BIOS is not edited: a beep, no question.
    asker_.captions.clear();
    const std::size_t beeps = presenter_.Beeps().size();
    DoubleClickRow(2);
    EXPECT_TRUE(asker_.captions.empty());
    EXPECT_EQ(presenter_.Beeps().size(), beeps + 1);

    // A cancelled address changes nothing.
    asker_.answer.reset();
    DoubleClickRow(0);
    EXPECT_EQ(asker_.captions, std::vector<std::string>{"Enter address of u2"});
    EXPECT_EQ(asker_.offered.back(), MakeFarPtr(0, 0xE800));
    EXPECT_EQ(Rows()[0][2], QStringLiteral("$E8000"));

    // u2 moves behind u1; the selection goes with it.
    asker_.answer = MakeFarPtr(0x0100, 0xF000);
    DoubleClickRow(0);
    EXPECT_EQ(Rows(), (std::vector<QStringList>{{"u1", "User BIN file", "$F0000", "$F00FF"},
                                                {"u2", "User BIN file", "$F0100", "$F01FF"},
                                                {"bios", "BIOS", "$FD000", "$FDFFF"}}));
    EXPECT_EQ(SelectedRow(), 1);
    EXPECT_EQ(Status(), "Status: Ok");

    // Onto u1: the check finds the overlap at once.
    asker_.answer = MakeFarPtr(0x0080, 0xF000);
    DoubleClickRow(1);
    EXPECT_EQ(Status(), "Error: Module \"u1\" overlaps \"u2\"!");
    EXPECT_FALSE(Child<QPushButton>("btCreateImg").isEnabled());

    form_->close();
    const TEpromImgIniData saved = LoadEpromImgSettings();
    ASSERT_EQ(saved.Modules.size(), 3U);
    EXPECT_EQ(std::make_pair(saved.Modules[1].Name, saved.Modules[1].Addr),
              std::make_pair(std::string("u2"), 0xF0080U));
}

} // namespace
} // namespace ravlo
