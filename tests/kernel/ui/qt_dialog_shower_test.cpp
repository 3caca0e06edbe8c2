#include "framework/ui/qt_test_app.h"
#include "kernel/dlg_process.h"
#include "kernel/process_factory.h"
#include "kernel/ui/qt_dialog_shower.h"
#include "platform/cp1250.h"
#include "support/wait_until.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <gtest/gtest.h>

namespace ravlo {
namespace {

std::vector<QMessageBox*> OpenBoxes() {
    std::vector<QMessageBox*> boxes;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        if (box != nullptr && box->objectName() == QtDialogShower::kBoxName && box->isVisible()) {
            boxes.push_back(box);
        }
    }
    return boxes;
}

// Which texts are shown and when is the dialog process's; here, that a box does not block, shows the
// text, icon and caption, and its closing reaches the process.
TEST(QtDialogShower, ATextIsShownWithoutBlockingAndItsCloseReachesTheProcess) {
    QtDialogShower shower;
    ScopedDialogShower guard(shower);
    TDLGPROC_Process process(nullptr);
    TProcMess mess =
        TProcMess::Create(TProcAdr{PT_DlgProc, 0, 0x2001}, TProcAdr{0x70, 1, 0x2001}, 0, 0, 0,
                          TDlgProcTextRec{Utf8ToCp1250("Spojení ztraceno"), kDlgError}.ToBytes());
    bool keep = false;
    process.WorkProcMess(mess, keep); // returns: nothing waits for the user
    ASSERT_TRUE(testing::ProcessEventsUntil([] { return OpenBoxes().size() == 1; }, testing::kWaitLimit));
    QMessageBox* box = OpenBoxes().front();
    EXPECT_EQ(box->text(), QString::fromUtf8("Spojení ztraceno")) << "code page 1250 text shown as such";
    EXPECT_EQ(box->icon(), QMessageBox::Critical);
    EXPECT_EQ(box->windowTitle(), "Error");
    EXPECT_EQ(process.Queue().size(), 1u);

    box->button(QMessageBox::Ok)->click();
    ASSERT_TRUE(testing::ProcessEventsUntil([] { return OpenBoxes().empty(); }, testing::kWaitLimit));
    EXPECT_TRUE(process.Queue().empty());
}

} // namespace
} // namespace ravlo
