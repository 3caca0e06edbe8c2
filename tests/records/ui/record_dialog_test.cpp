#include "framework/ui/qt_test_app.h"
#include "records/record_edit.h"
#include "records/records_test_support.h"
#include "records/ui/record_dialog.h"
#include "support/box_recorder.h"

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

// Scaled values, durations and dates show in their text forms; OK leaves what it was not given to
// change, also the bytes after a string's text.
TEST(RecordDialogFormsTest, ValuesShowInTheirFormsAndOkWithoutChangeChangesNothing) {
    RegisterRecordClasses();
    RegisterRecordDialogs();
    auto gain = test::Bare<TSpecWordRecFieldDscr>(2);
    gain->Kind = 4;
    gain->Decimals = 3;
    auto window = test::Bare<TSpecDWordLimRecFieldDscr>(4);
    window->Kind = 3;
    window->Min = 10;
    window->Max = 3600;
    auto stamp = test::Bare<TDWordRecFieldDscr>(4);
    stamp->Kind = 2;
    auto type = test::RecordType("Forms", std::move(gain), std::move(window), std::move(stamp),
                                 test::Bare<TDBStringFieldDscr>(6));
    type->DialogName = std::string(kDscrRecDlgName);
    test::InstallRecordTypes(std::move(type));
    TDscrRecObj record;
    record.RunCreate("Forms", 0);
    record.DscrRecPtr = {0xD6, 0x06, 10, 0, 0, 0, 0xD6, 0x5A, 0x04, 0x74, 2, 'a', 'b', 'o', 'l', 'd'};
    record.ClearModified();
    const Bytes before = record.DscrRecPtr;
    // A text that starts with "=" is the one its edit must show; any other is typed in.
    const auto edit = [&record](std::vector<std::string> texts) {
        // A refusal is recorded, not shown, and the dialog is then cancelled rather than left open.
        testing::BoxRecorder boxes;
        testing::ShownDialogDriver<TDscrRecDlg> driver([&texts, &boxes](TDscrRecDlg& dialog) {
            if (dialog.Editors.size() != texts.size()) {
                ADD_FAILURE() << dialog.Editors.size() << " edits";
                dialog.reject();
                return;
            }
            for (std::size_t i = 0; i < texts.size(); ++i) {
                if (texts[i].starts_with('=')) {
                    EXPECT_EQ(qobject_cast<QLineEdit*>(dialog.Editors[i])->text().toStdString(),
                              texts[i].substr(1));
                } else {
                    SetEditText(dialog, i, texts[i].c_str());
                }
            }
            testing::ClickButton(dialog, "OK_Button");
            if (dialog.isVisible()) {
                ADD_FAILURE() << "OK refused: " << boxes.Take();
                dialog.reject();
            }
        });
        EXPECT_EQ(record.EditInDialog(nullptr), mrOk);
        EXPECT_TRUE(driver.Acted());
    };
    edit({"=1.750", "=00:00:10", "=01/11/2023 08:15:00", "=ab"});
    EXPECT_EQ(record.DscrRecPtr, before);
    EXPECT_FALSE(record.IsModified());

    edit({"1.8", "0:1:0", "29/02/2024 13:30", "ab"});
    EXPECT_EQ(record.DscrRecPtr,
              (Bytes{0x08, 0x07, 60, 0, 0, 0, 0xC7, 0x5B, 0x18, 0x15, 2, 'a', 'b', 'o', 'l', 'd'}));
    EXPECT_TRUE(record.IsModified());
    ResetAppExtension();
}

} // namespace
} // namespace ravlo
