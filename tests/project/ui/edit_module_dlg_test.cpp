// The module editor dialog on the offscreen platform: what its fields add over the editor.
#include "framework/ui/qt_test_app.h"
#include "platform/cp1250.h"
#include "platform/message_box_flags.h"
#include "platform/presenter.h"
#include "project/module.h"
#include "project/ui/edit_module_dlg.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTest>

namespace ravlo {
namespace {

// A name is stored in code page 1250: a letter it cannot hold is refused with the field as typed,
// never taken as "?"; one it holds is taken.
TEST(EditModuleDlg, ANameTheCodePageCannotHoldIsRefusedAsTyped) {
    ScriptedPresenter presenter;
    const ScopedPresenter scoped(presenter);
    tModule unplaced;
    tModule module("ROM", 0xC800, 0x8000);
    TfEditModuleDlg dialog(module, unplaced, nullptr, false, false);
    dialog.show();
    auto& name = *dialog.findChild<QLineEdit*>(QStringLiteral("edName"));
    const auto type = [&name](const QString& text) {
        name.setText(text);
        emit name.textEdited(text);
        emit name.editingFinished();
    };

    type(QStringLiteral("ROMЖ"));
    EXPECT_EQ(module.Name, "ROM") << "leaving the field takes nothing";
    presenter.QueueAnswer(IDOK);
    testing::ClickButton(dialog, "btOk");
    EXPECT_EQ(dialog.result(), QDialog::Rejected) << "still open";
    ASSERT_EQ(presenter.Boxes().size(), 1U);
    EXPECT_EQ(presenter.Boxes()[0].text,
              "Module name can't hold letters outside Central European code page 1250 (such as Cyrillic).");
    EXPECT_EQ(name.text(), QStringLiteral("ROMЖ"));
    EXPECT_EQ(module.Name, "ROM");

    type(QStringLiteral("ROMŽ"));
    testing::ClickButton(dialog, "btOk");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(module.Name, Utf8ToCp1250("ROMŽ"));
    EXPECT_TRUE(presenter.Faults().empty());
}

// The start address is the one typed, never a listed one it begins like ("$E00" is not "$E0000").
TEST(EditModuleDlg, TheStartAddressIsTheOneTypedNotAListedOne) {
    ScriptedPresenter presenter;
    const ScopedPresenter scoped(presenter);
    const struct {
        const char* typed;
        std::uint16_t segment;
    } cases[] = {{"$E00", 0x00E0}, {"$C80", 0x00C8}, {"$800", 0x0080}, {"$E0000", 0xE000}};
    for (const auto& c : cases) {
        tModule unplaced;
        tModule module("ROM", 0xC800, 0x8000);
        TfEditModuleDlg dialog(module, unplaced, nullptr, false, false);
        dialog.show();
        auto& address = *dialog.findChild<QComboBox*>(QStringLiteral("cbStartAddr"));
        QLineEdit& edit = *address.lineEdit();
        edit.clear();
        dialog.activateWindow();
        edit.setFocus();
        ASSERT_TRUE(testing::ProcessEventsUntil([&edit] { return edit.hasFocus(); }));
        QTest::keyClicks(&edit, QString::fromLatin1(c.typed));
        EXPECT_EQ(address.currentText().toStdString(), c.typed);
        QTest::keyClick(&edit, Qt::Key_Return);
        if (dialog.isVisible()) {
            testing::ClickButton(dialog, "btOk");
        }
        EXPECT_EQ(dialog.result(), QDialog::Accepted) << c.typed;
        EXPECT_EQ(module.Address, c.segment) << c.typed;
        EXPECT_EQ(address.count(), 4) << "the listed addresses stay";
    }
    EXPECT_TRUE(presenter.Boxes().empty());
}

} // namespace
} // namespace ravlo
