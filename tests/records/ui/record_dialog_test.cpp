#include "framework/ui/qt_test_app.h"
#include "records/record_edit.h"
#include "records/records_test_support.h"
#include "records/ui/record_dialog.h"

#include <QComboBox>
#include <QLineEdit>

namespace ravlo {
namespace {

using Bytes = std::vector<std::uint8_t>;

void SetEditText(TDscrRecDlg& dialog, std::size_t i, const char* text) {
    qobject_cast<QLineEdit*>(dialog.Editors.at(i))->setText(QString::fromLatin1(text));
}

class RecordDialogTest : public test::RecordsTest {
protected:
    void SetUp() override {
        RegisterRecordDialogs();
        auto name = test::Bare<TDBStringFieldDscr>(8);
        name->Caption = "Name";
        name->DefaultText = "abc";
        auto type =
            test::RecordType("Settings", test::Valued<TByteRecFieldDscr>(1, 5, "Count"), std::move(name));
        type->DialogName = std::string(kDscrRecDlgName);
        test::InstallRecordTypes(std::move(type));
        record_.RunCreate("Settings", 0);
        record_.ClearModified();
    }

    TDscrRecObj record_;
};

TEST_F(RecordDialogTest, OkChangesTheRecordAndCancelNothing) {
    const Bytes before = record_.DscrRecPtr;
    {
        testing::ShownDialogDriver<TDscrRecDlg> driver([](TDscrRecDlg& dialog) {
            SetEditText(dialog, 0, "7");
            testing::ClickButton(dialog, "Cancel_Button");
        });
        EXPECT_EQ(record_.EditInDialog(nullptr), mrCancel);
        EXPECT_TRUE(driver.Acted());
    }
    EXPECT_EQ(record_.DscrRecPtr, before);
    EXPECT_FALSE(record_.IsModified());

    // Each field's value in its editor; refused values are the record edit test's.
    testing::ShownDialogDriver<TDscrRecDlg> driver([](TDscrRecDlg& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Settings"));
        ASSERT_EQ(dialog.Editors.size(), 2u);
        EXPECT_EQ(qobject_cast<QLineEdit*>(dialog.Editors[1])->text(), QStringLiteral("abc"));
        SetEditText(dialog, 0, "8");
        SetEditText(dialog, 1, "xyz");
        testing::ClickButton(dialog, "OK_Button");
    });
    EXPECT_EQ(record_.EditInDialog(nullptr), mrOk);
    EXPECT_TRUE(driver.Acted());
    EXPECT_EQ(record_.DscrRecPtr, (Bytes{8, 3, 'x', 'y', 'z', 0, 0, 0, 0}));
    EXPECT_TRUE(record_.IsModified());
}

} // namespace
} // namespace ravlo
