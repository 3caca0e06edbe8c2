#include "framework/rtdw_ini.h"
#include "framework/ui/qt_test_app.h"
#include "platform/ini_file.h"
#include "protocol/ma_messages.h"
#include "shell/ui/com_param_form.h"
#include "shell/ui/io_access_form.h"
#include "support/box_recorder.h"
#include "support/fake_tool_board.h"
#include "support/scratch_dir.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace ravlo {
namespace {

void Key(QWidget& widget, int key, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(&widget, &press);
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
    Key(addr, Qt::Key_Home);
    Key(addr, Qt::Key_4, QStringLiteral("4"));
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
