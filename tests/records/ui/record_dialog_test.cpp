#include "framework/ui/qt_test_app.h"
#include "records/record_edit.h"
#include "records/records_test_support.h"
#include "records/ui/record_dialog.h"
#include "support/box_recorder.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

namespace ravlo {
namespace {

using Bytes = std::vector<std::uint8_t>;

QString EditText(const TDscrRecDlg& dialog, std::size_t i) {
    return qobject_cast<QLineEdit*>(dialog.Editors.at(i))->text();
}

void SetEditText(TDscrRecDlg& dialog, std::size_t i, const char* text) {
    qobject_cast<QLineEdit*>(dialog.Editors.at(i))->setText(QString::fromLatin1(text));
}

void Click(TDscrRecDlg& dialog, const char* button) {
    dialog.findChild<QPushButton*>(QString::fromLatin1(button))->click();
}

class RecordDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterRecordClasses();
        RegisterRecordDialogs();
        auto count = test::Bare<TByteLimRecFieldDscr>(1);
        count->Caption = "Count";
        count->Default = 5;
        count->Max = 9;
        auto name = test::Bare<TDBStringFieldDscr>(8);
        name->Caption = "Name";
        name->DefaultText = "abc";
        auto inner = test::Bare<TWordRecFieldDscr>(2);
        inner->Caption = "Port";
        inner->Flags = kFldHex;
        auto type = test::RecordType("Settings", std::move(count), std::move(name),
                                     test::Nesting<TCompoundTDscr>("Link", 1));
        type->DialogName = std::string(kDscrRecDlgName);
        test::InstallRecordTypes(std::move(type), test::RecordType("Link", std::move(inner)));
        record_.RunCreate("Settings", 0);
        record_.ClearModified();
    }
    void TearDown() override { ResetAppExtension(); }

    TDscrRecObj record_;
    testing::BoxRecorder boxes_;
};

TEST_F(RecordDialogTest, CancelChangesNothing) {
    const Bytes before = record_.DscrRecPtr;
    testing::ShownDialogDriver<TDscrRecDlg> driver([](TDscrRecDlg& dialog) {
        SetEditText(dialog, 0, "7");
        Click(dialog, "Cancel_Button");
    });
    EXPECT_EQ(record_.EditInDialog(nullptr), mrCancel);
    EXPECT_TRUE(driver.Acted());
    EXPECT_EQ(record_.DscrRecPtr, before);
    EXPECT_FALSE(record_.IsModified());
}

TEST_F(RecordDialogTest, OkValidatesEveryFieldAndChangesTheRecord) {
    testing::ShownDialogDriver<TDscrRecDlg> driver([this](TDscrRecDlg& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Settings"));
        ASSERT_EQ(dialog.Editors.size(), 3u);
        EXPECT_EQ(EditText(dialog, 0), QStringLiteral("5"));
        EXPECT_EQ(EditText(dialog, 1), QStringLiteral("abc"));
        EXPECT_EQ(EditText(dialog, 2), QStringLiteral("$0000"));
        SetEditText(dialog, 0, "10");
        SetEditText(dialog, 1, "xyz");
        Click(dialog, "OK_Button");
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(boxes_.Take(), "Hodnota 10 mimo meze <0;9>");
        SetEditText(dialog, 0, "8");
        SetEditText(dialog, 2, "$3F8");
        Click(dialog, "OK_Button");
    });
    EXPECT_EQ(record_.EditInDialog(nullptr), mrOk);
    EXPECT_TRUE(driver.Acted());
    EXPECT_EQ(record_.DscrRecPtr, (Bytes{8, 3, 'x', 'y', 'z', 0, 0, 0, 0, 0xF8, 0x03}));
    EXPECT_TRUE(record_.IsModified());
}

} // namespace
} // namespace ravlo
