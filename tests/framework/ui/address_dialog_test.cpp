#include "framework/ui/address_dialog.h"
#include "platform/message_box_flags.h"
#include "platform/presenter.h"
#include "qt_test_app.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

namespace ravlo {
namespace {

using DialogDriver = testing::ShownDialogDriver<TfAddress>;

void ClickOk(TfAddress& dialog) {
    testing::ClickButton(dialog, "btOk");
}

class AddressDialogTest : public ::testing::Test {
protected:
    ScriptedPresenter presenter_;
    ScopedPresenter scoped_{presenter_};
};

// Both texts are parsed and made by the board address functions; their cases are in BoardAddressTest.
TEST_F(AddressDialogTest, ShowsTheAddressLinearOrAsFarPointer) {
    TfAddress dialog("Enter address of ROM", MakeFarPtr(0x0010, 0xC800), false);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Enter address of ROM"));
    EXPECT_EQ(dialog.Combo().currentText(), QStringLiteral("$C800:0010"));
    EXPECT_EQ(TfAddress("", MakeFarPtr(0x0010, 0xC800), true).Combo().currentText(),
              QStringLiteral("$C8010"));
}

TEST_F(AddressDialogTest, AskAddressAnswersOkWithTheParsedAddressAndCancelKeepsIt) {
    TSegOfsPtr address = MakeFarPtr(0, 0xC800);
    DialogDriver driver([](TfAddress& dialog) {
        dialog.Combo().setEditText(QStringLiteral("bad text"));
        ClickOk(dialog); // beeps and stays open with the last good address
        EXPECT_EQ(dialog.Combo().currentText(), QStringLiteral("$C800:0000"));
        dialog.Combo().setEditText(QStringLiteral("$E800:0010"));
        ClickOk(dialog);
    });
    EXPECT_EQ(AskAddress("Run at", address, false), IDOK);
    EXPECT_EQ(address, MakeFarPtr(0x0010, 0xE800));
    EXPECT_EQ(presenter_.Beeps().size(), 1U);
    DialogDriver cancel([](TfAddress& dialog) {
        dialog.Combo().setEditText(QStringLiteral("$C8000"));
        testing::ClickButton(dialog, "btCancel");
    });
    EXPECT_EQ(AskAddress("Run at", address, true), IDCANCEL);
    EXPECT_EQ(address, MakeFarPtr(0x0010, 0xE800));
}

// A key typed into the widget, press and release; what it leaves goes up to its parents.
void TypeKey(QWidget& widget, int key, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(&widget, &press);
    QApplication::sendEvent(&widget, &release);
}

TEST(AddressDialogKeys, OneEnterAcceptsTheAddressTypedOrShown) {
    // "$E8" is completed to the listed "$E8000" as it is typed.
    for (const QString& typed : {QStringLiteral("$E8"), QStringLiteral("E800:0010"), QString()}) {
        TSegOfsPtr address = MakeFarPtr(0, 0xC800);
        testing::ShownDialogDriver<TfAddress> driver([&](TfAddress& dialog) {
            QLineEdit& edit = *dialog.Combo().lineEdit();
            // The completion works for the widget with the keyboard focus only, and the keys go
            // where the platform sends them: to that widget.
            dialog.activateWindow();
            edit.setFocus();
            testing::ProcessEventsUntil([&edit] { return edit.hasFocus(); }, std::chrono::seconds(2));
            QWidget& focus = QApplication::focusWidget() != nullptr ? *QApplication::focusWidget() : edit;
            if (!typed.isEmpty()) {
                edit.clear();
            }
            for (const QChar c : typed) {
                TypeKey(focus, c.unicode(), QString(c));
            }
            TypeKey(focus, Qt::Key_Return);
            if (dialog.isVisible()) {
                dialog.reject(); // a second Enter would have been needed
            }
        });
        EXPECT_EQ(AskAddress("Enter start address", address, false), IDOK) << typed.toStdString();
    }
}

} // namespace
} // namespace ravlo
