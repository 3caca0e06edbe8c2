#include "framework/ui/qt_test_app.h"
#include "platform/message_box_flags.h"
#include "platform/presenter.h"
#include "project/eprom_ini.h"
#include "project/project_globals.h"
#include "project/ui/eprom_img_form.h"
#include "support/eprom_fixtures.h"
#include "support/scratch_dir.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeWidget>

namespace ravlo {
namespace {

using testing::BiosBytes;
using testing::RecordingEpromHost;
using testing::ScriptedAddressAsker;

// A window that closes at all is gone within a few event-loop turns.
constexpr std::chrono::milliseconds kCloseLimit{2000};

class EpromImgFormTest : public ::testing::Test {
protected:
    EpromImgFormTest() {
        ResetProjectGlobals();
        ProjectDir = dir_.Path().string() + "/";
    }
    ~EpromImgFormTest() override {
        delete form_;
        ResetProjectGlobals();
        EXPECT_TRUE(presenter_.Faults().empty());
        EXPECT_EQ(presenter_.UnusedAnswers(), 0U);
    }

    // Opens the window with files chosen from a queue (cancelled when it is empty), addresses confirmed
    // as given.
    void Open() {
        form_ = new TEpromImg_MDIChildForm(host_);
        form_->SetFileChooser(chooser_.Chooser());
        form_->SetAddressAsker(asker_.Asker());
    }
    template <class Widget>
    Widget& Child(const char* name) const {
        return testing::Child<Widget>(*form_, name);
    }
    QTreeWidget& List() const { return Child<QTreeWidget>("Modules_ListView"); }
    QString Cell(int row, int column) const { return List().topLevelItem(row)->text(column); }
    void Click(const char* button) const { Child<QPushButton>(button).click(); }
    void Activate(const char* combo, const QString& text) const {
        QComboBox& box = Child<QComboBox>(combo);
        const int index = box.findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        box.setCurrentIndex(index);
        emit box.activated(index);
    }
    bool Shown(const char* name) const { return Child<QWidget>(name).isVisibleTo(form_); }
    QString Status() const { return Child<QLabel>("StatusText").text(); }

    testing::ScratchDir dir_;
    ScriptedPresenter presenter_;
    ScopedPresenter scoped_{presenter_};
    RecordingEpromHost host_;
    ScriptedAddressAsker asker_{MakeFarPtr(0, 0xF000)};
    testing::ScriptedFileChooser chooser_;
    QPointer<TEpromImg_MDIChildForm> form_;
};

TEST_F(EpromImgFormTest, OpensWithTheSettingsOfRtdwIni) {
    dir_.Write("RTDW.INI", "[EPROMIMAGE]\nVOK=VOK188\nEPROM_HI=512\nEPROM_LO=0\nFILENAME_LO=low.bin\n"
                           "MODULECOUNT=1\nModule1_Name=T\nModule1_Addr=$F0000\nModule1_Size=$00002\n"
                           "Module1_Type=User BIN file\nModule1_File=t.bin\n");
    Open();
    EXPECT_EQ(Child<QLabel>("stWorkDirectory").text(), QString::fromStdString(ProjectDir + "      "));
    EXPECT_EQ(
        (QStringList{Child<QComboBox>("cbVok").currentText(), Child<QLabel>("lbEpromHi").text(),
                     Child<QComboBox>("cbEpromHi").currentText(), Child<QComboBox>("cbEpromLo").currentText(),
                     Child<QLineEdit>("edEpromLoFileName").text()}),
        (QStringList{"Vok188ER", "(E)EPROM HI:", "512 KB (x040)", "    0 KB (none)", "low.bin"}));
    EXPECT_TRUE(Shown("cbEpromLo"));
    EXPECT_FALSE(Shown("btEdit"));
    ASSERT_EQ(List().topLevelItemCount(), 1);
    EXPECT_EQ((QStringList{Cell(0, 0), Cell(0, 1), Cell(0, 3), Cell(0, 4)}),
              (QStringList{"T", "User BIN file", "$F0001", "$70000"}));
    EXPECT_EQ(Status(),
              QString::fromStdString("Error: File \"" + (dir_ / "t.bin").string() + "\" does not exist!"));
    EXPECT_FALSE(Child<QPushButton>("btCreateImg").isEnabled());
    form_->resize(form_->sizeHint());
    form_->show();
    testing::ProcessPendingEvents();
    EXPECT_EQ(List().horizontalScrollBar()->maximum(), 0) << "every column shown, File too";
    EXPECT_TRUE(QFontInfo(Child<QComboBox>("cbEpromHi").font()).fixedPitch()) << "sizes line up";
    EXPECT_TRUE(QFontInfo(List().topLevelItem(0)->font(4)).fixedPitch()) << "addresses line up";
}

TEST_F(EpromImgFormTest, BoardKindShowsItsChipControlsAndTheButtonsWork) {
    Open();
    Activate("cbVok", QStringLiteral("VokV40"));
    EXPECT_FALSE(Shown("cbEpromLo") || Shown("edEpromLoFileName") || Shown("btBrowseLo"));
    EXPECT_FALSE(Child<QPushButton>("btAddSetup").isEnabled());
    EXPECT_EQ(Child<QLabel>("lbEpromHi").text(), QStringLiteral("(E)EPROM:"));
    EXPECT_EQ(Child<QLineEdit>("edEpromHiFileName").text(), QStringLiteral("EPROM.BIN"));
    EXPECT_EQ(Child<QComboBox>("cbEpromHi").count(), 3); // 128 KB and up

    Activate("cbVok", QStringLiteral("Vok386EXR (16bit)"));
    EXPECT_TRUE(Shown("cbEpromLo"));
    EXPECT_TRUE(Child<QPushButton>("btAddSetup").isEnabled());
    Activate("cbEpromHi", QStringLiteral("128 KB (x010)"));
    Activate("cbEpromLo", QStringLiteral("128 KB (x010)"));
    EXPECT_EQ(std::tie(form_->Composer().Chips().HiKb, form_->Composer().Chips().LoKb),
              std::make_tuple(128, 128));

    chooser_.files = {dir_.Write("bios.bin", BiosBytes(TVokKind::Vok386EXR)),
                      dir_.Write("user.bin", "\x01\x02")};
    Click("btAddBIOS");
    Click("btAddBIN");
    EXPECT_EQ(asker_.captions, std::vector<std::string>{"Enter address of user"});
    ASSERT_EQ(List().topLevelItemCount(), 2);
    EXPECT_EQ(Cell(0, 0), QStringLiteral("user"));
    EXPECT_EQ(Cell(1, 2), QStringLiteral("$FD000"));
    EXPECT_EQ(Status(), QStringLiteral("Status: Ok"));
    EXPECT_TRUE(Child<QLabel>("StatusText").styleSheet().contains(QStringLiteral("#00FF00")));
    ASSERT_TRUE(Child<QPushButton>("btCreateImg").isEnabled());

    presenter_.QueueAnswer(IDOK); // the success box
    Click("btCreateImg");
    EXPECT_TRUE(host_.imageOk);
    EXPECT_TRUE(std::filesystem::exists(dir_ / "EPROM_LO.BIN"));

    List().topLevelItem(1)->setSelected(true);
    List().setCurrentItem(List().topLevelItem(1));
    presenter_.QueueAnswer(IDYES);
    Click("btDelete"); // asks first
    ASSERT_EQ(List().topLevelItemCount(), 1);
    EXPECT_TRUE(List().topLevelItem(0)->isSelected());

    std::filesystem::remove(dir_ / "user.bin");
    form_->RefreshRomList();
    EXPECT_TRUE(Child<QLabel>("StatusText").styleSheet().contains(QStringLiteral("#FF0000")));
    EXPECT_FALSE(Child<QPushButton>("btCreateImg").isEnabled());

    // A browsed image name is stored relative to the project.
    chooser_.files = {dir_ / "out" / "image.bin"};
    Click("btBrowseHi");
    EXPECT_EQ(chooser_.saving.back(), true);
    EXPECT_EQ(Child<QLineEdit>("edEpromHiFileName").text(), QStringLiteral("out/image.bin"));
    EXPECT_EQ(form_->Composer().HiFileName(), "out/image.bin");
}

TEST_F(EpromImgFormTest, ClosingSavesIntoItsOwnProjectAndFreesTheWindow) {
    Open();
    chooser_.files = {dir_.Write("user.bin", "u")};
    Click("btAddBIN");
    Child<QLineEdit>("edEpromHiFileName").setText(QStringLiteral("typed.bin"));
    emit Child<QLineEdit>("edEpromHiFileName").textEdited(QStringLiteral("typed.bin"));
    testing::ScratchDir other; // another project opened meanwhile
    ProjectDir = other.Path().string() + "/";
    QMdiArea area;
    QPointer<QMdiSubWindow> frame = area.addSubWindow(form_);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    Click("btClose");
    ASSERT_TRUE(testing::ProcessEventsUntil([&] { return form_.isNull() && frame.isNull(); }, kCloseLimit))
        << "no empty frame";
    EXPECT_FALSE(std::filesystem::exists(other / "RTDW.INI"));
    ProjectDir = dir_.Path().string() + "/";
    const TEpromImgIniData saved = LoadEpromImgSettings();
    EXPECT_EQ(std::tie(saved.Modules.at(0).File, saved.HiFileName), std::make_tuple("user.bin", "typed.bin"));
}

TEST_F(EpromImgFormTest, UnattendedRunClosesOnlyWhenTheCheckPassed) {
    host_.cmdLine = true;
    Open();
    EXPECT_EQ(form_->CreateUnattended(), TEpromRunResult::CheckFailed);
    testing::ProcessPendingEvents();
    ASSERT_FALSE(form_.isNull()); // left open for corrections
    EXPECT_FALSE(host_.imageOk);

    chooser_.files = {dir_.Write("user.bin", "u")};
    Click("btAddBIN");
    EXPECT_EQ(form_->CreateUnattended(), TEpromRunResult::Created);
    ASSERT_TRUE(testing::ProcessEventsUntil([this] { return form_.isNull(); }, kCloseLimit));
    EXPECT_TRUE(host_.imageOk);
    EXPECT_TRUE(std::filesystem::exists(dir_ / "EPROM_HI.BIN"));
}

TEST(EpromImgFilter, PatternsAreOfferedInBothCases) {
    EXPECT_EQ(QtFileFilter("Binary files (.bin)|*.BIN|All files|*.*"),
              QStringLiteral("Binary files (.bin) (*.BIN *.bin);;All files (*.*)"));
    EXPECT_EQ(QtFileFilter("Setup Vok386 files (.c38)|*.C38"),
              QStringLiteral("Setup Vok386 files (.c38) (*.C38 *.c38)"));
}

} // namespace
} // namespace ravlo
