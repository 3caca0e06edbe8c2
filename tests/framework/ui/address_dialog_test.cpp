#include "framework/ui/address_dialog.h"
#include "platform/message_box_flags.h"
#include "platform/presenter.h"
#include "qt_test_app.h"

#include <QComboBox>
#include <QPushButton>
#include <QTimer>
#include <functional>

namespace ravlo {
namespace {

using DialogDriver = testing::ShownDialogDriver<TfAddress>;

void ClickOk(TfAddress& dialog) {
    dialog.findChild<QPushButton*>(QStringLiteral("btOk"))->click();
}

class AddressDialogTest : public ::testing::Test {
protected:
    ScriptedPresenter presenter_;
    ScopedPresenter scoped_{presenter_};
};

TEST_F(AddressDialogTest, ShowsTheAddressLinearOrAsFarPointer) {
    EXPECT_EQ(TfAddress::AddressText(MakeFarPtr(0x0010, 0xC800), true), QStringLiteral("$C8010"));
    EXPECT_EQ(TfAddress::AddressText(MakeFarPtr(0x0010, 0xC800), false), QStringLiteral("$C800:0010"));

    TfAddress dialog("Enter address of ROM", MakeFarPtr(0, 0xE000), false);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Enter address of ROM"));
    EXPECT_EQ(dialog.Combo().currentText(), QStringLiteral("$E000:0000"));
    EXPECT_EQ(dialog.Combo().count(), 5);
}

TEST_F(AddressDialogTest, LinearAndFarTextsGiveTheSamePointerABadTextBeepsAndShowsThePreviousAddress) {
    for (const QString& text : {QStringLiteral("C8000"), QStringLiteral("$C800:0000")}) {
        TfAddress dialog("Address", MakeFarPtr(0, 0), true);
        dialog.Combo().setEditText(text);
        dialog.accept();
        EXPECT_EQ(dialog.result(), QDialog::Accepted) << text.toStdString();
        EXPECT_EQ(dialog.Address(), MakeFarPtr(0x0000, 0xC800)) << text.toStdString();
    }
    TfAddress dialog("Address", MakeFarPtr(0x0004, 0x1234), false);
    dialog.Combo().setEditText(QStringLiteral("12G45"));
    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Combo().currentText(), QStringLiteral("$1234:0004"));
    EXPECT_EQ(presenter_.Beeps().size(), 1U);
    EXPECT_EQ(dialog.Address(), MakeFarPtr(0x0004, 0x1234));
}

TEST_F(AddressDialogTest, AskAddressAnswersOkWithTheParsedAddressAndCancelKeepsIt) {
    TSegOfsPtr address = MakeFarPtr(0, 0xC800);
    DialogDriver driver([](TfAddress& dialog) {
        dialog.Combo().setEditText(QStringLiteral("bad text"));
        ClickOk(dialog); // stays open
        dialog.Combo().setEditText(QStringLiteral("$E800:0010"));
        ClickOk(dialog);
    });
    EXPECT_EQ(AskAddress("Run at", address, false), IDOK);
    EXPECT_EQ(address, MakeFarPtr(0x0010, 0xE800));
    EXPECT_EQ(presenter_.Beeps().size(), 1U);

    DialogDriver cancel([](TfAddress& dialog) {
        dialog.Combo().setEditText(QStringLiteral("$C8000"));
        dialog.findChild<QPushButton*>(QStringLiteral("btCancel"))->click();
    });
    EXPECT_EQ(AskAddress("Run at", address, true), IDCANCEL);
    EXPECT_EQ(address, MakeFarPtr(0x0010, 0xE800));
}

} // namespace
} // namespace ravlo
