#include "framework/ctrl_validator.h"
#include "framework/param_record.h"
#include "framework/string_edit_validator.h"
#include "framework/ui/param_dialogs.h"
#include "framework/ui/qt_message_pump.h"
#include "framework/ui/qt_val_control.h"
#include "framework/ui/radio_group_box.h"
#include "framework/ui/wait_dialog.h"
#include "qt_test_app.h"
#include "support/box_recorder.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>

namespace ravlo {
namespace {

class ValDialogsTest : public ::testing::Test {
protected:
    testing::BoxRecorder boxes_;
};

TEST_F(ValDialogsTest, WordDialogRefusesAValueAboveMaxAndStaysOpenAndCancelKeepsTheValue) {
    std::uint16_t value = 15;
    testing::ShownDialogDriver<TParWord_Dlg> driver([this](TParWord_Dlg& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Editace parametru"));
        EXPECT_TRUE(dialog.LabelStr_Edit->isReadOnly() && dialog.UnitStr_Edit->isReadOnly());
        EXPECT_EQ(dialog.LabelStr_Edit->text() + dialog.UnitStr_Edit->text(), QStringLiteral("Speedrpm"));
        EXPECT_EQ(dialog.Value_Edit->text(), QStringLiteral("15"));
        dialog.Value_Edit->setText(QStringLiteral("21"));
        testing::ClickButton(dialog, "OK_Button");
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(boxes_.Take(), "Hodnota 21 mimo meze <10;20>");
        dialog.Value_Edit->setText(QStringLiteral("18"));
        testing::ClickButton(dialog, "OK_Button");
    });
    EXPECT_EQ(ExecParWordDlg(nullptr, "Speed", "rpm", 0, 20, 10, value), mrOk);
    EXPECT_EQ(value, 18);
    std::uint8_t byte = 5;
    testing::ShownDialogDriver<TParByte_Dlg> cancel([](TParByte_Dlg& dialog) {
        dialog.Value_Edit->setText(QStringLiteral("nonsense"));
        testing::ClickButton(dialog, "Cancel_Button");
    });
    EXPECT_EQ(ExecParByteDlg(nullptr, "Count", "", kValHex, 10, 0, byte), mrCancel);
    EXPECT_EQ(byte, 5); // how each result closes: RecordValidatorTest.CloseQueryValidatesOnlyOk
}

TEST_F(ValDialogsTest, RegisteredDialogsRunByName) {
    RegisterFrameworkDialogs();
    std::vector<std::uint8_t> record = MakeParRecord(4, "Address", "", 0, 0, 0xFFFFFFFF);
    testing::ShownDialogDriver<TParDWord_Dlg> driver([](TParDWord_Dlg& dialog) {
        dialog.Value_Edit->setText(QStringLiteral("$FFFFFFFF"));
        testing::ClickButton(dialog, "OK_Button");
    });
    EXPECT_EQ(ExecuteDialog(nullptr, "TParDWord_Dlg", record), mrOk);
    EXPECT_EQ(ParRecordValue(record, 4), 0xFFFFFFFFu);
}

// Busy until told otherwise; each pass shows the next step.
class StepWait final : public TWait_Dlg {
public:
    bool IsBusy() override { return busy; }
    bool GetText(std::string& text) override {
        text = "step " + std::to_string(++steps);
        return steps <= 3;
    }
    bool busy = true;
    int steps = 0;
};

TEST_F(ValDialogsTest, WaitDialogShowsTextsAndEndsOnItsMessageWhenTheWorkIsDone) {
    QtMessagePump pump;
    StepWait dialog;
    std::vector<std::uint8_t> lines(kWaitRecordSize);
    dialog.BindRecord(lines);
    QTimer::singleShot(300, &dialog, [&dialog] {
        EXPECT_EQ(dialog.Line2_Edit->text(), QStringLiteral("step 3"));
        dialog.busy = false;
    });
    EXPECT_EQ(dialog.ShowModal(), mrCancel);
}

TEST_F(ValDialogsTest, WidgetsAsValidatorControls) {
    QComboBox combo;
    TQtValControl comboControl(&combo);
    comboControl.SetItems({"a", "b"});
    comboControl.SetText("7"); // a value without an entry
    EXPECT_EQ(combo.currentIndex(), -1);
    EXPECT_EQ(comboControl.Text(), "7");
    TRadioGroupBox group;
    TQtValControl groupControl(&group);
    QListWidget list;
    TQtValControl listControl(&list);
    int clicks = 0;
    for (TQtValControl* control : {&groupControl, &listControl}) {
        control->AddClickHandler([&clicks] { ++clicks; });
        control->SetItems({"x", "y", "z"});
        control->SetItemIndex(1);
    }
    EXPECT_EQ(clicks, 0); // the program's changes are no clicks
    group.findChildren<QAbstractButton*>().at(2)->click();
    EXPECT_EQ(groupControl.ItemIndex(), 2);
    list.setCurrentRow(0); // as the user would
    EXPECT_EQ(clicks, 2);
    QWidget plain;
    EXPECT_THROW(TQtValControl{&plain}, ExcValidators);
}

TEST_F(ValDialogsTest, TextTheCodePageCannotHoldIsRefusedNotStoredAsQuestionMarks) {
    QLineEdit edit(QString::fromUtf8("\u0430\u0431\u0432\u0433\u0434")); // as "?????", any other would pass
    TQtValControl control(&edit);
    TTrStringEdit_Validator validator;
    validator.AssignCtrl(&control);
    EXPECT_FALSE(validator.Validate());
    edit.setText(QString::fromUtf8("\u017Elu\u0165 ?"));
    EXPECT_TRUE(validator.Validate());
}

} // namespace
} // namespace ravlo
