// The module editor dialog on the offscreen platform: what its fields add over the editor.
#include "framework/ui/qt_test_app.h"
#include "platform/cp1250.h"
#include "platform/message_box_flags.h"
#include "platform/presenter.h"
#include "project/module.h"
#include "project/ui/edit_module_dlg.h"

#include <QLineEdit>

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

} // namespace
} // namespace ravlo
