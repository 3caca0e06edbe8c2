#include "framework/ui/address_dialog.h"
#include "platform/message_box_flags.h"
#include "platform/presenter.h"
#include "qt_test_app.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

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

// Gives the dialog's box the keyboard focus as the platform does; answers where the keys go.
QWidget& FocusTheBox(TfAddress& dialog) {
    QLineEdit& edit = *dialog.Combo().lineEdit();
    dialog.activateWindow();
    edit.setFocus();
    testing::ProcessEventsUntil([&edit] { return edit.hasFocus(); }, std::chrono::seconds(2));
    return QApplication::focusWidget() != nullptr ? *QApplication::focusWidget() : edit;
}

void TypeText(QWidget& widget, const QString& text) {
    for (const QChar c : text) {
        TypeKey(widget, c.unicode(), QString(c));
    }
}

// The address shows selected, also again after a text that did not parse: what is typed replaces
// it, and one Enter takes it.
TEST(AddressDialogKeys, TypingReplacesTheAddressShown) {
    for (const bool firstBad : {false, true}) {
        TSegOfsPtr address = MakeFarPtr(0, 0xC810);
        ScriptedPresenter presenter;
        const ScopedPresenter scoped(presenter);
        testing::ShownDialogDriver<TfAddress> driver([firstBad](TfAddress& dialog) {
            QWidget& focus = FocusTheBox(dialog);
            EXPECT_EQ(dialog.Combo().lineEdit()->selectedText(), QStringLiteral("$C810:0000"));
            if (firstBad) {
                TypeText(focus, QStringLiteral("x1"));
                TypeKey(focus, Qt::Key_Return);
                EXPECT_TRUE(dialog.isVisible());
                EXPECT_EQ(dialog.Combo().lineEdit()->selectedText(), QStringLiteral("$C810:0000"));
            }
            TypeText(focus, QStringLiteral("E800:0010"));
            TypeKey(focus, Qt::Key_Return);
            if (dialog.isVisible()) {
                dialog.reject();
            }
        });
        EXPECT_EQ(AskAddress("Vok - Go - from address", address, false), IDOK) << firstBad;
        EXPECT_EQ(address, MakeFarPtr(0x0010, 0xE800)) << firstBad;
        EXPECT_EQ(presenter.Beeps().size(), firstBad ? 1U : 0U);
    }
}

TEST(AddressDialogKeys, OneEnterAcceptsTheAddressTypedOrShown) {
    for (const QString& typed : {QStringLiteral("$E8"), QStringLiteral("E800:0010"), QString()}) {
        TSegOfsPtr address = MakeFarPtr(0, 0xC800);
        testing::ShownDialogDriver<TfAddress> driver([&](TfAddress& dialog) {
            // The completion works for the widget with the keyboard focus only, and the keys go
            // where the platform sends them: to that widget.
            QWidget& focus = FocusTheBox(dialog);
            if (!typed.isEmpty()) {
                dialog.Combo().lineEdit()->clear();
            }
            TypeText(focus, typed);
            TypeKey(focus, Qt::Key_Return);
            if (dialog.isVisible()) {
                dialog.reject(); // a second Enter would have been needed
            }
        });
        EXPECT_EQ(AskAddress("Enter start address", address, false), IDOK) << typed.toStdString();
    }
}

// What is typed is the address, also where it starts like a listed one ("$C800" is not the listed
// "$C8000", sixteen times higher); the listed ones stay in the drop-down list.
TEST(AddressDialogKeys, EnterTakesExactlyTheTextTyped) {
    const struct {
        const char* typed;
        std::uint32_t linear;
    } cases[] = {
        {"$C800", 0xC800},   {"$E8", 0xE8},           {"$8", 0x8}, {"$c80", 0xC80}, {"$0", 0x0},
        {"$C8000", 0xC8000}, {"$E800:0010", 0xE8010},
    };
    for (const auto& c : cases) {
        TSegOfsPtr address = MakeFarPtr(0, 0x0100);
        QStringList listed;
        testing::ShownDialogDriver<TfAddress> driver([&](TfAddress& dialog) {
            QWidget& focus = FocusTheBox(dialog);
            QTest::keyClicks(&focus, QString::fromLatin1(c.typed));
            for (int i = 0; i < dialog.Combo().count(); ++i) {
                listed << dialog.Combo().itemText(i);
            }
            QTest::keyClick(&focus, Qt::Key_Return);
            if (dialog.isVisible()) {
                dialog.reject();
            }
        });
        EXPECT_EQ(AskAddress("Vok - Go - from address", address, true), IDOK) << c.typed;
        EXPECT_EQ(FarPtrToLin(address), c.linear) << c.typed;
        EXPECT_EQ(listed, (QStringList{"$C8000", "$E8000", "$80000", "$00B00", "$01000"})) << c.typed;
    }
}

} // namespace
} // namespace ravlo
