// The tool windows and setup dialogs on the offscreen platform over fakes of the board master: what
// each adds over its model (the memory view's keys, marks and widths, the progress window, the IO
// window, the COM dialog; the setup records shown, edited, loaded and saved through the controls);
// and the Vok setup command end to end against the board simulator at line speed (the 386's road
// through the core is checked against the fake board in main_commands_test).
#include "framework/app_data.h"
#include "framework/broadcast.h"
#include "framework/rtdw_ini.h"
#include "framework/ui/qt_message_pump.h"
#include "framework/ui/qt_test_app.h"
#include "framework/ui/radio_group_box.h"
#include "framework/ui/tr_main_form.h"
#include "platform/ini_file.h"
#include "platform/window_messages.h"
#include "protocol/comm_process.h"
#include "protocol/ma_messages.h"
#include "shell/main_enum_types.h"
#include "shell/ui/com_param_form.h"
#include "shell/ui/config188_dialog.h"
#include "shell/ui/config386_dialog.h"
#include "shell/ui/event_log_form.h"
#include "shell/ui/io_access_form.h"
#include "shell/ui/main_menus.h"
#include "shell/ui/mem_view_form.h"
#include "shell/ui/progress_form.h"
#include "shell/ui/ravlo_main_form.h"
#include "shell/user_level.h"
#include "support/app_fixtures.h"
#include "support/box_recorder.h"
#include "support/default_app_ini.h"
#include "support/fake_board_memory.h"
#include "support/fake_tool_board.h"
#include "support/scratch_dir.h"
#include "support/shell_test_globals.h"
#include "support/voksim_on_com.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>
#include <QTextEdit>
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <memory>
#include <numeric>
#include <set>

namespace ravlo {
namespace {

void Press(QWidget& target, int key, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(&target, &press);
}

class ToolWindowsTest : public ::testing::Test {
protected:
    ToolWindowsTest() {
        main_.resize(1000, 700);
        main_.show();
    }
    ~ToolWindowsTest() override { UserLevel = 0; }

    testing::FakeBoardMemory board_;
    TTrMainForm main_;
};

TEST_F(ToolWindowsTest, MemoryViewEditsByKeysAndKeepsItsMarksWhenNarrowed) {
    UserLevel = 2;
    auto* view = new TfMemView(board_);
    QMdiSubWindow* window = main_.AddMdiChild(view);
    window->resize(900, 500);
    view->ShowPage(MakeFarPtr(0, 0xC800), std::vector<std::uint8_t>(256, 0x41));
    QPlainTextEdit& edit = view->RichEdit();
    Press(edit, 'A', "A");
    Press(edit, '5', "5");
    Press(edit, Qt::Key_PageDown);
    Press(edit, 'H', "H");
    Press(edit, 'i', "i");
    EXPECT_EQ(edit.extraSelections().size(), 4) << "three bytes' digits and one run of characters";
    testing::BoxRecorder boxes;
    Press(edit, Qt::Key_unknown, QStringLiteral("Ж"));
    EXPECT_EQ(boxes.texts.size(), 1u) << "a letter the board's code page cannot hold is refused";
    EXPECT_EQ(view->Model().Changed().count(), 3u);
    window->resize(view->minimumWidth() + 20, 400);
    testing::ProcessPendingEvents();
    EXPECT_EQ(view->Model().BytesPerRow(), 8);
    EXPECT_EQ(edit.extraSelections().size(), 4);
}

// How far past the dump's visible width the end of its widest line lies (0 or less: all shown).
int DumpOverflow(const TfMemView& view) {
    QPlainTextEdit& edit = view.RichEdit();
    int overflow = INT_MIN;
    for (QTextBlock block = edit.document()->firstBlock(); block.isValid(); block = block.next()) {
        QTextCursor end(block);
        end.movePosition(QTextCursor::EndOfBlock);
        overflow = std::max(overflow, edit.cursorRect(end).left() - edit.viewport()->width());
    }
    return overflow;
}

TEST_F(ToolWindowsTest, TheMemoryViewShowsItsWholeLinesAtItsOwnSizeAndAtEveryWidthItTakes) {
    auto* view = new TfMemView(board_);
    QMdiSubWindow* window = main_.AddMdiChild(view);
    std::vector<std::uint8_t> page(256);
    std::iota(page.begin(), page.end(), 0);
    view->ShowPage(MakeFarPtr(0x3000, 0), page);
    testing::ProcessPendingEvents();
    EXPECT_EQ(view->Model().BytesPerRow(), 16) << "its own size holds a wide line";
    EXPECT_LE(DumpOverflow(*view), 0);
    // Narrowed pixel by pixel, each width shows the lines it chose whole.
    std::set<int> widths;
    for (int width = view->maximumWidth(); width >= view->minimumWidth(); --width) {
        window->resize(width + window->width() - view->width(), window->height());
        testing::ProcessPendingEvents();
        widths.insert(view->Model().BytesPerRow());
        ASSERT_LE(DumpOverflow(*view), 0) << "view width " << view->width();
    }
    EXPECT_EQ(widths, (std::set<int>{8, 16}));
}

class FakeProgressSource final : public TProgressSource {
public:
    std::optional<TProgressRequest> ActiveRequest() const override { return Request; }
    const void* WatchedAddress() const override { return &Request; }
    void StopOperation() override { ++Stops; }
    std::optional<TProgressRequest> Request;
    int Stops = 0;
};

TEST_F(ToolWindowsTest, ProgressFollowsTheAnnouncedAddressAndStops) {
    FakeProgressSource source;
    source.Request =
        TProgressRequest{"Writing Data to Vok", "ROM1.BIN", LinToFarPtr(0xC8000), LinToFarPtr(0xC87FF), 0};
    auto* progress = new TfProgress(source);
    main_.AddMdiChild(progress);
    EXPECT_EQ(progress->windowTitle(), "Writing Data to Vok");
    source.Request->DoneBytes = 0x400;
    MainFormBroadcast(wm_VarChanged, 4, reinterpret_cast<std::uintptr_t>(&source.Request));
    EXPECT_EQ(progress->ggProgress().value(), 50);
    progress->btStop().click();
    EXPECT_EQ(source.Stops, 1);
}

// How far apart two colours are to the eye (0 to 255): the difference of their luminance.
int LumaGap(QRgb a, QRgb b) {
    return std::abs(qGray(a) - qGray(b));
}

// The gauge's "NN%" stands half over the navy that is done and half over the rest at 50 %: in a
// light and in a dark palette, each half has pixels that stand out from the bar behind them.
TEST_F(ToolWindowsTest, TheGaugeFigureReadsOverBothPartsOfTheBarInALightAndADarkPalette) {
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x30, 0x30, 0x30));
    dark.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
    dark.setColor(QPalette::Text, QColor(0xE8, 0xE8, 0xE8));
    dark.setColor(QPalette::WindowText, QColor(0xE8, 0xE8, 0xE8));
    for (const QPalette& palette : {QPalette(main_.palette()), dark}) {
        FakeProgressSource source;
        source.Request =
            TProgressRequest{"Reading Data from Vok", "", LinToFarPtr(0xC8000), LinToFarPtr(0xC87FF), 0x400};
        auto* progress = new TfProgress(source);
        progress->setPalette(palette);
        // Gone before the source it reads.
        const std::unique_ptr<QMdiSubWindow> window(main_.AddMdiChild(progress));
        QProgressBar& gauge = progress->ggProgress();
        gauge.resize(300, gauge.height());
        ASSERT_EQ(gauge.value(), 50);
        const QImage image = gauge.grab().toImage();
        const int middle = image.width() / 2;
        const QRgb navy = image.pixel(image.width() / 4, image.height() / 2);
        const QRgb rest = image.pixel(image.width() * 3 / 4, image.height() / 2);
        // The strongest contrast left and right of the middle, where the figure stands.
        int doneGap = 0;
        int restGap = 0;
        for (int y = 2; y < image.height() - 2; ++y) {
            for (int x = image.width() / 3; x < middle - 1; ++x) {
                doneGap = std::max(doneGap, LumaGap(image.pixel(x, y), navy));
            }
            for (int x = middle + 2; x < image.width() * 2 / 3; ++x) {
                restGap = std::max(restGap, LumaGap(image.pixel(x, y), rest));
            }
        }
        EXPECT_GE(doneGap, 128) << "over the navy";
        EXPECT_GE(restGap, 128) << "over the rest";
    }
}

using testing::Child;

TEST(ToolWindowForms, TheIOWindowTypesThroughItsModelAndSavesWhenClosed) {
    testing::ScratchDir dir;
    ProjectDir = dir.Path().string() + "/";
    const auto file = dir.Write("RTDW.INI", "");
    testing::FakeToolBoard board;
    auto* form = new TIO_MDIChildForm(board);
    auto& addr = Child<QComboBox>(*form, "cbAddr");
    Press(addr, Qt::Key_Home);
    Press(addr, Qt::Key_4, QStringLiteral("4"));
    EXPECT_EQ(addr.currentText(), QStringLiteral("$4300"));
    EXPECT_EQ(addr.lineEdit()->cursorPosition(), 2);
    auto& descr = Child<QComboBox>(*form, "cbDescr");
    descr.lineEdit()->setText(QStringLiteral("Latch"));
    emit descr.lineEdit()->textEdited(QStringLiteral("Latch"));
    Child<QRadioButton>(*form, "rb16bit").click();
    Child<QCheckBox>(*form, "chbBit15").click();
    EXPECT_EQ(Child<QLineEdit>(*form, "edDataHex").text(), QStringLiteral("$8000"));
    Child<QPushButton>(*form, "btRead").click();
    AppMessageQueue().Send(form->Handle(), wm_IORdDone, 0x1234, 2);
    EXPECT_EQ(Child<QLineEdit>(*form, "edDataHex").text(), QStringLiteral("$1234"));
    form->close();
    EXPECT_EQ(IniFile(file).ReadString("IOACCESS1", "Descript"), "Latch");
    ProjectDir.clear();
}

TEST(ToolWindowForms, TheIOWindowKeepsARefusedDescriptionAsTypedAndSavesTheOneBefore) {
    testing::ScratchDir dir;
    ProjectDir = dir.Path().string() + "/";
    const auto file = dir.Write("RTDW.INI", "[IOACCESS]\nCount=1\n[IOACCESS1]\nAddr=8960\nDescript=Latch\n");
    testing::FakeToolBoard board;
    testing::BoxRecorder boxes;
    auto* form = new TIO_MDIChildForm(board);
    QLineEdit& descr = *Child<QComboBox>(*form, "cbDescr").lineEdit();
    const QString typed = QStringLiteral("Latch Ж");
    descr.setText(typed);
    emit descr.textEdited(typed);
    EXPECT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(descr.text(), typed);
    Child<QRadioButton>(*form, "rb16bit").click();
    EXPECT_EQ(descr.text(), typed) << "kept while the window shows the same entry";
    form->close();
    EXPECT_EQ(IniFile(file).ReadString("IOACCESS1", "Descript"), "Latch");
    ProjectDir.clear();
}

TEST(ToolWindowForms, TheComDialogOffersTheFreePortsAndWantsOne) {
    testing::BoxRecorder boxes;
    TComPorts ports;
    ports.Existing[2] = ports.Existing[5] = ports.Available[5] = true;
    TComParam model(1, 9600, [ports] { return ports; });
    TfComParam dialog(model);
    ASSERT_EQ(dialog.PortButtons().size(), 2U);
    EXPECT_FALSE(dialog.PortButtons()[0]->isEnabled());
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(boxes.Take(), "First choose COM port!");
    dialog.PortButtons()[1]->click();
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(model.ChosenPort(), 5);
}

using Bytes = std::vector<std::uint8_t>;

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

    // The file dialogs answer the file name of the scratch folder.
    void ChooseFile(TSetupDialog& dialog, const std::string& name) {
        dialog.SetFileChooser([file = dir_.Path() / name](const TFileDialogSpec&, bool) { return file; });
    }
    Bytes FileBytes(const std::string& name) const {
        const std::string text = testing::ReadFileText(dir_.Path() / name);
        return Bytes(text.begin(), text.end());
    }

    testing::BoxRecorder boxes_;
    testing::ScratchDir dir_;
};

TEST_F(SetupDialogsTest, The386DialogChecksEveryChangeAndKeepsTheBitsNoControlCovers) {
    // The simulator's setup, with every bit that no control covers set.
    const Bytes setup{0xB6, 0xFB, 0x76, 0x01, 0, 0, 0, 0, 0xC5, 0x80, 0x85, 0xF5, 0xBF};
    Bytes rec = setup;
    dir_.Write("short.c38", std::string(12, '\0'));
    testing::ShownDialogDriver<TConfig386_Dialog> driver([this](TConfig386_Dialog& dialog) {
        EXPECT_EQ(dialog.cbxHAdr->currentText(), QStringLiteral("$C0000"));
        EXPECT_TRUE(dialog.cbDMA2->isChecked() && !dialog.cb25MHz->isChecked());
        EXPECT_EQ(dialog.MemoStatus->toPlainText(), QStringLiteral("Ok"));
        EXPECT_EQ(dialog.MemoStatus->palette().color(QPalette::Text), QColor(0, 0x80, 0));
        EXPECT_TRUE(dialog.SaveToVok_Button->isEnabled());
        Pick(dialog.cbxMT[0], 1);
        EXPECT_EQ(dialog.MemoStatus->toPlainText(),
                  QStringLiteral("Invalid memory type in Socket1 (only FLASH or ROM)"));
        EXPECT_FALSE(dialog.SaveToVok_Button->isEnabled());
        Pick(dialog.cbxMT[0], 3);
        dialog.SetConnected(false);
        EXPECT_FALSE(dialog.SaveToVok_Button->isEnabled()) << "Ok, but no board";
        dialog.SetConnected(true);
        dialog.cbSMM->click();

        ChooseFile(dialog, "short.c38");
        dialog.LoadFromDisk_Button->click();
        EXPECT_EQ(boxes_.Take(),
                  "File \"" + (dir_.Path() / "short.c38").string() + "\" doesn't contain valid BIOS setup!");
        EXPECT_EQ(dialog.cbxMT[0]->currentIndex(), 3) << "the values stay";
        ChooseFile(dialog, "saved.c38");
        dialog.SaveToDisk_Button->click();
        dialog.SaveToVok_Button->click();
    });
    EXPECT_EQ(EditConfig386(nullptr, rec, true), mrOk);
    EXPECT_TRUE(driver.Acted());
    Bytes expected = setup;
    expected[0] = 0xF6;
    expected[11] = 0xFD;
    EXPECT_EQ(rec, expected);
    EXPECT_EQ(FileBytes("saved.c38"), expected);
    EXPECT_TRUE(boxes_.texts.empty());
}

TEST_F(SetupDialogsTest, The188DialogDecodesFollowsItsRulesAndEncodesWhatItSaves) {
    Bytes rec(32, 0);
    rec[0] = 0x04, rec[1] = 0x73, rec[2] = 0x13, rec[30] = 0x01, rec[31] = 0xEE;
    const std::string_view file = "KERNEL  SYS";
    std::copy(file.begin(), file.end(), rec.begin() + 16);
    testing::ShownDialogDriver<TConfig188_Dialog> driver([this](TConfig188_Dialog& dialog) {
        EXPECT_EQ(boxes_.Take(), "Error in \"Flash chip memory size\"!\rDefault value 512KB is used");
        EXPECT_EQ(dialog.rgBankHigh->ItemIndex(), 3);
        EXPECT_FALSE(dialog.SaveToVok_Button->isEnabled()) << "no board";
        const auto bankLow = dialog.rgBankLow->findChildren<QRadioButton*>();
        bankLow[3]->click();
        dialog.AZPK[0]->click();
        bankLow[1]->click();
        EXPECT_TRUE(dialog.AZPK[3]->isChecked()) << "$40000 is out of reach with 64 kB low";
        dialog.rgBankHigh->findChildren<QRadioButton*>()[2]->click();
        EXPECT_FALSE(dialog.rgBankLow->isEnabled());
        EXPECT_EQ(dialog.rgBankLow->ItemIndex(), 0);
        EXPECT_TRUE(dialog.AZPK[4]->isChecked());
        Pick(dialog.WSIOBUS_ComboBox, 1);
        EXPECT_EQ(dialog.WSEAT_ComboBox->currentIndex(), 0) << "one wait state, no extended access";
        EXPECT_TRUE(boxes_.texts.empty());
        Pick(dialog.WSIOBUS_ComboBox, 3);
        Pick(dialog.WSEAT_ComboBox, 3);
        EXPECT_EQ(boxes_.Take(), "Number of Extended Access Time can't be longer than number of WaitStates.");
        EXPECT_EQ(dialog.WSEAT_ComboBox->currentIndex(), 2);
        EXPECT_FALSE(dialog.edCFFileName->isEnabled());
        dialog.cbCFBoot->click();
        EXPECT_TRUE(dialog.edCFFileName->isEnabled());
        dialog.edSegment->setText(QStringLiteral("$2000"));
        ChooseFile(dialog, "saved.c18");
        dialog.SaveToDisk_Button->click();
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

// The main window on the simulator as COM1, with the real communication process: a field changed in
// the board's setup dialog is in the board's memory when the simulator stops.
class SetupVoksimTest : public SetupDialogsTest {
protected:
    testing::ShellTestGlobals globals_;
    testing::AppIniFixture ini_{std::string(testing::kDefaultAppIni)};
    QtMessagePump pump_;
    testing::VoksimOnCom sim_;
};

TEST_F(SetupVoksimTest, AFieldChangedInTheDialogIsWrittenToTheBoard) {
    if (!sim_.Found()) {
        GTEST_SKIP() << "voksim is not built beside the test programs";
    }
    RegisterProcessType(PT_RavloComm, TRavloComm_Process::CreateFromLabel);
    const std::filesystem::path memory = dir_.Path() / "memory.bin";
    ASSERT_TRUE(sim_.Start(1, {"--board", "188", "--memory-out", memory.string()}));
    {
        TRavloMainFormOptions options;
        options.GuiDialogs = false;
        TRavloMainForm form(options);
        form.show();
        const TRavlo_MA_Process& ma = *form.Core().MAProc;
        form.Menus().Action(TMainAction::CreateCom).trigger();
        EXPECT_TRUE(testing::ProcessEventsUntil(
            [&] { return ma.Device == DEV_Vok188 && ma.ConState == cs_idle && ma.QueueCount() == 0; }));
        testing::ShownDialogDriver<TConfig188_Dialog> driver([](TConfig188_Dialog& dialog) {
            Pick(dialog.WSIOBUS_ComboBox, 5);
            dialog.SaveToVok_Button->click();
        });
        form.Menus().Action(TMainAction::VokSetup).trigger();
        EXPECT_TRUE(testing::ProcessEventsUntil([&] {
            return form.EventLogWnd()->RichEditEvLog().toPlainText().contains("- Setup was written");
        }));
        form.Menus().Action(TMainAction::DestroyCom).trigger();
        testing::ProcessEventsUntil([&] { return ma.Connected == 0; }, std::chrono::seconds(3));
    }
    EXPECT_EQ(sim_.Stop(), 0);
    EXPECT_EQ(testing::ReadFileText(memory).substr(0xFFE00, 4), std::string("\x04\x08\x15\x03"));
}

} // namespace
} // namespace ravlo
