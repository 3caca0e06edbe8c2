// The main form's commands that open the board tool windows and dialogs, on the offscreen platform
// with the board master at work before a fake board: what each window asks of the board and what
// it shows of the answer.
#include "framework/ui/address_dialog.h"
#include "framework/ui/file_dialog_answer.h"
#include "framework/ui/param_dialogs.h"
#include "framework/ui/qt_message_pump.h"
#include "framework/ui/qt_test_app.h"
#include "framework/ui/radio_group_box.h"
#include "platform/ini_file.h"
#include "protocol/vok_frame.h"
#include "shell/cmd_line.h"
#include "shell/main_form_setup.h"
#include "shell/ui/about_box.h"
#include "shell/ui/com_param_form.h"
#include "shell/ui/config188_dialog.h"
#include "shell/ui/io_access_form.h"
#include "shell/ui/main_menus.h"
#include "shell/ui/mem_view_form.h"
#include "shell/ui/progress_form.h"
#include "shell/ui/ravlo_main_form.h"
#include "shell/ui/reader_form.h"
#include "shell/ui/vok_rtc_form.h"
#include "shell/ui/writer_form.h"
#include "support/app_fixtures.h"
#include "support/box_recorder.h"
#include "support/default_app_ini.h"
#include "support/scoped_env.h"
#include "support/scratch_dir.h"
#include "support/shell_test_globals.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTextBlock>
#include <QUrl>
#include <deque>
#include <fcntl.h>

namespace ravlo {
namespace {

using A = TMainAction;
namespace fs = std::filesystem;

using testing::FileDialogAnswer;

// The main window with the fake communication process, which answers as the fake board. It opens
// the link at its start, as the shipped settings say, unless the test keeps the board away.
class MainFormOpenersTest : public ::testing::Test {
protected:
    ~MainFormOpenersTest() override {
        form_.reset();
        testing::ProcessPendingEvents();
    }

    // The main window shown and started; with link, once the board is connected and identified.
    void Start(bool link = true) {
        CmdLineFlags = link ? 0 : CL_NoCOM;
        TRavloMainFormOptions options;
        options.GuiDialogs = false; // the dialog process's texts go to the recorder
        form_ = std::make_unique<TRavloMainForm>(options);
        Board().PutIdentification();
        form_->show();
        ASSERT_TRUE(testing::ProcessEventsUntil([this] { return Form().Core().Plan().has_value(); }));
        if (link) {
            ASSERT_TRUE(
                testing::ProcessEventsUntil([this] { return Master().Device == DEV_Vok188 && Idle(); }));
        }
        boxes_.texts.clear(); // the start's own (no users defined)
    }
    TRavloMainForm& Form() { return *form_; }
    TRavlo_MA_Process& Master() { return *Form().Core().MAProc; }
    testing::FakeComm& Comm() {
        return dynamic_cast<testing::FakeComm&>(*Form().Core().ProcessColl->GetProcByIdent(PT_RavloComm));
    }
    testing::FakeBoard& Board() { return Comm().Board; }
    bool Idle() { return Master().ConState == cs_idle && Master().QueueCount() == 0; }
    void SetUserLevel(std::uint8_t level) {
        UserLevel = level;
        Form().Core().UpdateMenus();
    }
    void Trigger(A action) {
        QAction& item = Form().Menus().Action(action);
        ASSERT_TRUE(item.isEnabled()) << item.text().toStdString();
        item.trigger();
    }
    // The frames of the given type the master sent, in order.
    std::vector<testing::Bytes> SentFrames(std::uint8_t type) {
        std::vector<testing::Bytes> frames;
        for (const testing::Bytes& frame : Comm().SentFrames()) {
            if (!frame.empty() && frame[0] == type) {
                frames.push_back(frame);
            }
        }
        return frames;
    }
    bool BoxShown(std::string_view text) const {
        return std::find(boxes_.texts.begin(), boxes_.texts.end(), text) != boxes_.texts.end();
    }

    testing::ShellTestGlobals globals_;
    testing::AppIniFixture ini_{std::string(testing::kDefaultAppIni)};
    testing::BoxRecorder boxes_;
    testing::ScratchDir files_;
    QtMessagePump pump_;
    std::unique_ptr<TRavloMainForm> form_;
};

TEST_F(MainFormOpenersTest, TheIOWindowReadsAndWritesTheBoardsPort) {
    Start();
    Board().IoValues[0x2300] = 0x5A;
    Trigger(A::IO);
    auto* io = Form().FindMDIChild<TIO_MDIChildForm>();
    ASSERT_NE(io, nullptr);
    testing::Child<QPushButton>(*io, "btRead").click();
    EXPECT_TRUE(testing::ProcessEventsUntil([&] {
        return testing::Child<QLabel>(*io, "stStatus").text() == QStringLiteral("Data read successfully");
    }));
    EXPECT_EQ(testing::Child<QLineEdit>(*io, "edDataHex").text(), QStringLiteral("$5A"));
    testing::Child<QCheckBox>(*io, "chbBit00").click();
    testing::Child<QPushButton>(*io, "btWrite").click();
    EXPECT_TRUE(testing::ProcessEventsUntil([&] { return Board().IoWrites.contains(0x2300); }));
    EXPECT_EQ(Board().IoWrites[0x2300], 0x5B);
    Trigger(A::IO);
    EXPECT_EQ(Form().FindMDIChild<TIO_MDIChildForm>(), io) << "one IO window, brought up again";
}

TEST_F(MainFormOpenersTest, TheClockDialogShowsTheBoardsClockAndSetsTheEditedTime) {
    Start();
    Board().Clock = {2024, 2, 29, 23, 59, 58};
    testing::ShownDialogDriver<TFormVokRTC> driver([this](TFormVokRTC& dialog) {
        auto& year = testing::Child<QSpinBox>(dialog, "SpEdYear");
        EXPECT_TRUE(testing::ProcessEventsUntil([&] { return year.value() == 2024; }));
        EXPECT_EQ(testing::Child<QSpinBox>(dialog, "SpEdMonth").value(), 2);
        EXPECT_EQ(testing::Child<QSpinBox>(dialog, "SpEdDay").value(), 29);
        EXPECT_EQ(testing::Child<QSpinBox>(dialog, "SpEdSec").value(), 58);
        EXPECT_EQ(testing::Child<QLabel>(dialog, "stStatus").text(), QStringLiteral("Status: Read Time Ok"));
        EXPECT_EQ(std::make_pair(year.minimum(), year.maximum()), std::make_pair(1980, 2099)) << "the BIOS's";
        year.setValue(2023);
        EXPECT_EQ(testing::Child<QSpinBox>(dialog, "SpEdDay").value(), 28) << "no 29 February in 2023";
        testing::Child<QSpinBox>(dialog, "SpEdMin").setValue(7);
        testing::Child<QPushButton>(dialog, "btSetTime").click();
        EXPECT_TRUE(testing::ProcessEventsUntil([&] {
            return testing::Child<QLabel>(dialog, "stStatus").text() ==
                   QStringLiteral("Status: Write Time Ok");
        }));
        testing::Child<QPushButton>(dialog, "btClose").click();
    });
    Trigger(A::RTC);
    EXPECT_TRUE(driver.Acted());
    EXPECT_EQ(Board().Clock, (TVokClockRec{2023, 2, 28, 23, 7, 58}));
}

TEST_F(MainFormOpenersTest, TheAddressDialogAsksWhereTheBoardGoes) {
    Start();
    testing::ShownDialogDriver<TfAddress> driver([](TfAddress& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Vok - Go - from address"));
        EXPECT_EQ(dialog.Combo().currentText(), QStringLiteral("$C800:0000"));
        dialog.Combo().setEditText(QStringLiteral("$E800:0010"));
        testing::ClickButton(dialog, "btOk");
    });
    Trigger(A::GO);
    EXPECT_TRUE(testing::ProcessEventsUntil([this] { return Board().Gos == 1 && Idle(); }));
    const auto frames = SentFrames(ft_Go);
    ASSERT_EQ(frames.size(), 1U);
    EXPECT_EQ(FrameFarPtr(frames[0], 3), MakeFarPtr(0x0010, 0xE800));
}

// Debug Read: the start in the address dialog, the length in the dword parameter dialog (which
// keeps to the 1 MB), the file in the save dialog; the file then holds the board's bytes.
TEST_F(MainFormOpenersTest, ABlockReadIsAskedForInThreeDialogsAndLandsInTheFileChosen) {
    Start();
    std::vector<std::uint8_t> bytes(0x10010);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 7 + (i >> 8));
    }
    Board().Put(0xC8000, bytes);
    const fs::path file = files_.Path() / "block.bin";
    testing::ShownDialogDriver<TfAddress> address([](TfAddress& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Starting read address: "));
        dialog.Combo().setEditText(QStringLiteral("C8000"));
        testing::ClickButton(dialog, "btOk");
    });
    testing::ShownDialogDriver<TParDWord_Dlg> length([this](TParDWord_Dlg& dialog) {
        EXPECT_EQ(dialog.LabelStr_Edit->text(), QStringLiteral("Desired size (length):"));
        dialog.Value_Edit->setText(QStringLiteral("$38001"));
        testing::ClickButton(dialog, "OK_Button");
        EXPECT_TRUE(dialog.isVisible()) << "one byte past the 1 MB";
        EXPECT_FALSE(boxes_.Take().empty());
        dialog.Value_Edit->setText(QStringLiteral("$10010"));
        testing::ClickButton(dialog, "OK_Button");
    });
    const FileDialogAnswer save(file, [](QFileDialog& dialog) {
        EXPECT_TRUE(dialog.selectedFiles().value(0).endsWith(QStringLiteral("/MEM_C8000.BIN")));
    });
    Trigger(A::Read);
    EXPECT_TRUE(address.Acted() && length.Acted() && save.Acted());
    EXPECT_TRUE(testing::ProcessEventsUntil([&] { return fs::exists(file) && Idle(); }));
    EXPECT_TRUE(testing::ReadFileText(file) == std::string(bytes.begin(), bytes.end()));
}

// The program's own debug commands ask their numbers in the parameter dialog of the number's width,
// within the command's limits, and send what was typed.
TEST_F(MainFormOpenersTest, TheDebugFramesAreAskedForInTheDialogsOfTheirWidth) {
    Start();
    SetUserLevel(254);
    testing::ShownDialogDriver<TParByte_Dlg> type([this](TParByte_Dlg& dialog) {
        EXPECT_EQ(dialog.LabelStr_Edit->text(), QStringLiteral("Empt mess:"));
        dialog.Value_Edit->setText(QStringLiteral("$CF")); // below the first frame type
        testing::ClickButton(dialog, "OK_Button");
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_FALSE(boxes_.Take().empty());
        dialog.Value_Edit->setText(QStringLiteral("$E4"));
        testing::ClickButton(dialog, "OK_Button");
    });
    Trigger(A::DbgEmpty);
    EXPECT_TRUE(type.Acted());
    EXPECT_TRUE(testing::ProcessEventsUntil([this] { return SentFrames(ft_GetRTC).size() == 1 && Idle(); }));

    std::deque<QString> numbers = {QStringLiteral("$E000"), QStringLiteral("$2001"), QStringLiteral("$100")};
    testing::ShownDialogDriver<TParWord_Dlg> segment([&numbers](TParWord_Dlg& dialog) {
        EXPECT_EQ(dialog.LabelStr_Edit->text(), QStringLiteral("Checksum segment:"));
        dialog.Value_Edit->setText(numbers.front());
        numbers.pop_front();
        testing::ClickButton(dialog, "OK_Button");
    });
    testing::ShownDialogDriver<TParWord_Dlg> length(
        [this, &numbers](TParWord_Dlg& dialog) {
            for (int i = 0; i < 2; ++i) {
                dialog.Value_Edit->setText(numbers.front());
                numbers.pop_front();
                testing::ClickButton(dialog, "OK_Button");
            }
            EXPECT_EQ(boxes_.texts.size(), 1U) << "one past the 1 MB from $E000:0000 refused";
        },
        [](const TParWord_Dlg& dialog) {
            return dialog.LabelStr_Edit->text() == QStringLiteral("Checksum len:");
        });
    boxes_.texts.clear();
    Trigger(A::DbgCheckSum);
    EXPECT_TRUE(segment.Acted() && length.Acted());
    EXPECT_TRUE(testing::ProcessEventsUntil([this] { return SentFrames(ft_Chcksum).size() == 1 && Idle(); }));
    const auto frame = SentFrames(ft_Chcksum).at(0);
    EXPECT_EQ(FrameFarPtr(frame, 3), MakeFarPtr(0x0000, 0xE000));
    EXPECT_EQ(FrameU16(frame, 7), 0x100);
}

TEST_F(MainFormOpenersTest, TheWriterWritesItsBlockAndStopInTheProgressWindowEndsIt) {
    Start();
    SetUserLevel(2);
    Trigger(A::WriteBin);
    auto* writer = Form().FindMDIChild<TfWriter>();
    ASSERT_NE(writer, nullptr);
    testing::Child<QRadioButton>(*writer, "rbFull").click();
    testing::Child<QLineEdit>(*writer, "edLength").setText(QStringLiteral("$2000"));
    testing::Child<QComboBox>(*writer, "cbAddress").setEditText(QStringLiteral("$8000:0000"));
    Comm().Hold = true; // the board's answers wait: the transfer stands at its first piece
    testing::Child<QPushButton>(*writer, "btWrite").click();
    TfProgress* progress = nullptr;
    ASSERT_TRUE(testing::ProcessEventsUntil([&] {
        progress = Form().FindMDIChild<TfProgress>();
        return progress != nullptr && Board().Loads > 0;
    }));
    EXPECT_EQ(testing::Child<QLabel>(*progress, "lblText").text(),
              QStringLiteral("File: < WHOLE BLOCK WITH $FF >"));
    progress->btStop().click();
    EXPECT_TRUE(testing::ProcessEventsUntil(
        [&] { return Form().FindMDIChild<TfProgress>() == nullptr && BoxShown("Operation aborted."); }));
    Comm().Hold = false;
    Comm().ReleaseHeld();
    EXPECT_TRUE(testing::ProcessEventsUntil([this] { return Idle(); }));
    const int loads = Board().Loads;
    EXPECT_LT(loads, 0x2000 / 256) << "stopped before the end";
    EXPECT_EQ(Board().Read(0x80000, 1), testing::Bytes{0xFF}) << "the first piece was written";

    // Written again, to its end.
    testing::Child<QPushButton>(*writer, "btWrite").click();
    EXPECT_TRUE(testing::ProcessEventsUntil([&] {
        return Board().Read(0x81FFF, 2) == testing::Bytes{0xFF, 0};
    }));
    EXPECT_TRUE(testing::ProcessEventsUntil([this] { return Idle(); }));
    EXPECT_EQ(Form().FindMDIChild<TfProgress>(), nullptr) << "closed at the end";
}

TEST_F(MainFormOpenersTest, TheReaderReadsTheRangeIntoTheFileChosen) {
    Start();
    SetUserLevel(1);
    Board().PutText(0xE0000, "board bytes");
    const fs::path file = files_.Path() / "read.bin";
    Trigger(A::ReadBin);
    auto* reader = Form().FindMDIChild<TfReader>();
    ASSERT_NE(reader, nullptr);
    auto& start = testing::Child<QComboBox>(*reader, "cbStartAddress");
    start.setEditText(QStringLiteral("$E000:0000"));
    emit start.lineEdit()->editingFinished();
    auto& length = testing::Child<QLineEdit>(*reader, "edLength");
    length.setText(QStringLiteral("C"));
    emit length.editingFinished();
    {
        FileDialogAnswer answer(file);
        testing::Child<QPushButton>(*reader, "btBrowse").click();
        EXPECT_TRUE(answer.Acted());
    }
    EXPECT_EQ(testing::Child<QLineEdit>(*reader, "edFileName").text(), QString::fromStdString(file.string()));
    testing::Child<QPushButton>(*reader, "btRead").click();
    EXPECT_TRUE(testing::ProcessEventsUntil([&] { return fs::exists(file) && Idle(); }));
    EXPECT_EQ(testing::ReadFileText(file), std::string("board bytes\0", 12));
}

TEST_F(MainFormOpenersTest, TheMemoryViewShowsTheBoardsPagesAndSavesAnEditedOne) {
    Start();
    SetUserLevel(2);
    std::vector<std::uint8_t> pages(512);
    for (std::size_t i = 0; i < pages.size(); ++i) {
        pages[i] = static_cast<std::uint8_t>(i / 2);
    }
    Board().Put(0x70000, pages);
    testing::ShownDialogDriver<TfAddress> address([](TfAddress& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Enter starting address"));
        dialog.Combo().setEditText(QStringLiteral("$7000:0000"));
        testing::ClickButton(dialog, "btOk");
    });
    Trigger(A::MemView);
    TfMemView* view = nullptr;
    ASSERT_TRUE(testing::ProcessEventsUntil([&] {
        view = Form().FindMDIChild<TfMemView>();
        return view != nullptr && Idle();
    }));
    const auto firstLine = [&view] {
        return view->RichEdit().document()->firstBlock().text();
    };
    EXPECT_TRUE(firstLine().startsWith(QStringLiteral("$70000  00-00-01-01-02-02-03-03")))
        << firstLine().toStdString();
    testing::Child<QPushButton>(*view, "btNext").click();
    EXPECT_TRUE(testing::ProcessEventsUntil([&] {
        return firstLine().startsWith(QStringLiteral("$70100  80-80-81-81")) && Idle();
    })) << firstLine().toStdString();
    EXPECT_EQ(Form().FindMDIChild<TfMemView>(), view) << "the page came into the same view";
    QKeyEvent key(QEvent::KeyPress, Qt::Key_5, Qt::NoModifier, QStringLiteral("5"));
    QApplication::sendEvent(&view->RichEdit(), &key);
    boxes_.answers = {IDYES};
    testing::Child<QPushButton>(*view, "btSave").click();
    EXPECT_EQ(boxes_.Take(), "Save changes to Vok?");
    EXPECT_TRUE(
        testing::ProcessEventsUntil([this] { return Board().Read(0x70100, 1)[0] == 0x50 && Idle(); }));
    EXPECT_EQ(Board().Read(0x70101, 255), testing::Bytes(pages.begin() + 257, pages.end()))
        << "the rest as read";
}

// Offline, a setup file opens in the dialog of its board by its size; the dialog holds its bytes.
TEST_F(MainFormOpenersTest, ASetupFileOpensOfflineInTheDialogOfItsSize) {
    Start(false);
    testing::Bytes c18(32, 0);
    c18[0] = 0x04, c18[1] = 0x08, c18[2] = 0x13, c18[30] = 0x01;
    const std::string_view name = "KERNEL  SYS";
    std::copy(name.begin(), name.end(), c18.begin() + 16);
    const std::vector<std::pair<testing::Bytes, TSetupBoard>> cases = {
        {{0xB6, 0xFB, 0x76, 0x01, 0, 0, 0, 0, 0xC5, 0x80, 0x85, 0xF5, 0xBF}, TSetupBoard::Vok386},
        {c18, TSetupBoard::Vok188},
    };
    for (const auto& [bytes, board] : cases) {
        SCOPED_TRACE(bytes.size());
        const fs::path file = files_.Write("setup.bin", std::string(bytes.begin(), bytes.end()));
        const fs::path copy = files_.Path() / "copy.bin";
        FileDialogAnswer open(file);
        testing::ShownDialogDriver<TSetupDialog> driver([&](TSetupDialog& dialog) {
            EXPECT_EQ(dialog.Board(), board);
            EXPECT_FALSE(dialog.SaveToVok_Button->isEnabled()) << "no board";
            dialog.SetFileChooser([&copy](const TFileDialogSpec&, bool) { return copy; });
            dialog.SaveToDisk_Button->click();
            dialog.Cancel_Button->click();
        });
        Trigger(A::VokSetup);
        EXPECT_TRUE(open.Acted() && driver.Acted());
        EXPECT_EQ(testing::ReadFileText(copy), std::string(bytes.begin(), bytes.end()));
    }
    EXPECT_TRUE(boxes_.texts.empty()) << boxes_.texts.front();
    const fs::path wrong = files_.Write("wrong.bin", std::string(14, '\0'));
    FileDialogAnswer open(wrong);
    Trigger(A::VokSetup);
    EXPECT_EQ(boxes_.Take(), "File \"" + wrong.string() + "\" doesn't contain valid BIOS setup!");
}

// The board's setup open in its dialog: a file loaded from disk there is what "Save to Vok" writes.
TEST_F(MainFormOpenersTest, ASetupLoadedFromDiskIntoTheBoardsDialogIsWrittenToTheBoard) {
    Start();
    testing::Bytes setup(32, 0);
    setup[0] = 0x04, setup[1] = 0x08, setup[30] = 0x01;
    const std::string_view name = "KERNEL  SYS";
    std::copy(name.begin(), name.end(), setup.begin() + 16);
    Board().Put(0xFFE00, setup);
    testing::Bytes loaded = setup;
    loaded[0] = 0x13, loaded[1] = 0x0A, loaded[2] = 0x25, loaded[3] = 0x03, loaded[29] = 0x80;
    const fs::path file = files_.Write("loaded.c18", std::string(loaded.begin(), loaded.end()));
    testing::ShownDialogDriver<TConfig188_Dialog> driver([&](TConfig188_Dialog& dialog) {
        EXPECT_EQ(dialog.rgBankLow->ItemIndex(), 0) << "the board's";
        EXPECT_TRUE(dialog.SaveToVok_Button->isEnabled());
        {
            FileDialogAnswer open(file);
            dialog.LoadFromDisk_Button->click();
            EXPECT_TRUE(open.Acted());
        }
        EXPECT_EQ(dialog.rgBankLow->ItemIndex(), 2) << "the file's";
        EXPECT_TRUE(dialog.cbCFBoot->isChecked());
        EXPECT_EQ(dialog.edSegment->text(), QStringLiteral("$0180"));
        dialog.SaveToVok_Button->click();
    });
    Trigger(A::VokSetup);
    EXPECT_TRUE(testing::ProcessEventsUntil([&] { return driver.Acted(); }));
    EXPECT_TRUE(testing::ProcessEventsUntil([&] {
        return Board().Read(0xFFE00, 32) == loaded &&
               BoxShown("Writing successfully completed\rChanges will be used after the Vok reset");
    }));
    EXPECT_EQ(boxes_.texts.size(), 1U) << "no decoding error on the way";
}

// Records the addresses the desktop is asked to open.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    std::vector<QUrl> Opened;
public slots:
    void Open(const QUrl& url) { Opened.push_back(url); }
};

TEST_F(MainFormOpenersTest, TheAboutBoxNamesTheVersionAndItsWebLabelOpensThePage) {
    Start(false);
    UrlRecorder browser;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &browser, "Open");
    testing::ShownDialogDriver<TAboutBox> driver([](TAboutBox& box) {
        EXPECT_TRUE(
            testing::Child<QLabel>(box, "Version_Label")
                .text()
                .startsWith(QStringLiteral("Version ") + QString::fromLatin1(kRavloVersionText.data())));
        auto& web = testing::Child<QLabel>(box, "Web_Label");
        QMouseEvent click(QEvent::MouseButtonDblClick, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&web, &click);
        box.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    Trigger(A::About);
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    EXPECT_TRUE(driver.Acted());
    ASSERT_EQ(browser.Opened.size(), 1U);
    EXPECT_EQ(browser.Opened[0].scheme(), QStringLiteral("https"));
    EXPECT_FALSE(browser.Opened[0].host().isEmpty());
}

// A fresh pseudo-terminal: its terminal end is a port that opens.
struct Pty {
    int fd = ::posix_openpt(O_RDWR | O_NOCTTY);
    ~Pty() { ::close(fd); }
    std::string Path() const { return ::grantpt(fd) == 0 && ::unlockpt(fd) == 0 ? ::ptsname(fd) : ""; }
};

// COM2 and COM5 present: the dialog offers them; OK stores the choice in RTDW.INI, hands it to the
// master and opens the link.
TEST_F(MainFormOpenersTest, TheComDialogOffersThePortsPresentAndTheChoiceOpensTheLink) {
    std::deque<std::string> names;
    std::deque<testing::ScopedEnv> env;
    std::deque<Pty> ptys(2);
    for (int n = 1; n <= TComPorts::kMaxPort; ++n) {
        names.push_back("RAVLO_COM" + std::to_string(n));
        env.emplace_back(names.back().c_str(), n == 2   ? ptys[0].Path()
                                               : n == 5 ? ptys[1].Path()
                                                        : "/nonexistent/tty" + std::to_string(n));
    }
    const fs::path rtdw = ini_.Dir().Write("RTDW.INI", "");
    Start(false);
    testing::ShownDialogDriver<TfComParam> driver([](TfComParam& dialog) {
        ASSERT_EQ(dialog.PortButtons().size(), 2U);
        EXPECT_EQ(dialog.PortButtons()[0]->text() + dialog.PortButtons()[1]->text(),
                  QStringLiteral("COM2COM5"));
        dialog.PortButtons()[1]->click();
        testing::Child<TRadioGroupBox>(dialog, "rgBDld").findChildren<QRadioButton*>()[3]->click();
        testing::ClickButton(dialog, "btOk");
    });
    const std::size_t requests = Comm().Requests.size();
    Trigger(A::ComSettings);
    EXPECT_TRUE(driver.Acted());
    EXPECT_EQ(IniFile(rtdw).ReadInteger("COM", "COM", 0), 5);
    EXPECT_EQ(IniFile(rtdw).ReadInteger("COM", "BDLD", 0), 38400);
    EXPECT_EQ(std::make_pair(int{Master().ComPort}, Master().BDLD), std::make_pair(5, 38400u));
    EXPECT_TRUE(testing::ProcessEventsUntil([&] {
        const auto& sent = Comm().Requests;
        return std::any_of(sent.begin() + static_cast<std::ptrdiff_t>(requests), sent.end(),
                           [](const testing::CommRequest& r) { return r.Code == RAVLOCOMM_MA_CrOpCo; });
    })) << "the link opens";
}

} // namespace
} // namespace ravlo

#include "main_form_openers_test.moc"
