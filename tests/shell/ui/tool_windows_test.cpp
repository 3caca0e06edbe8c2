// The tool windows on the offscreen platform over fakes of the board master: what each adds over its
// model (keys, marks and widths of the memory view, the progress updates and Stop, the IO window and
// the COM dialog).
#include "framework/broadcast.h"
#include "framework/rtdw_ini.h"
#include "framework/ui/qt_test_app.h"
#include "framework/ui/tr_main_form.h"
#include "platform/ini_file.h"
#include "platform/window_messages.h"
#include "protocol/ma_messages.h"
#include "shell/ui/com_param_form.h"
#include "shell/ui/io_access_form.h"
#include "shell/ui/mem_view_form.h"
#include "shell/ui/progress_form.h"
#include "shell/user_level.h"
#include "support/box_recorder.h"
#include "support/fake_board_memory.h"
#include "support/fake_tool_board.h"
#include "support/scratch_dir.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

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
    window->resize(view->minimumWidth() + 20, 400);
    testing::ProcessPendingEvents();
    EXPECT_EQ(view->Model().BytesPerRow(), 8);
    EXPECT_EQ(edit.extraSelections().size(), 4);
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

template <class Widget>
Widget& Child(const QWidget& parent, const char* name) {
    auto* widget = parent.findChild<Widget*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return *widget;
}

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

} // namespace
} // namespace ravlo
