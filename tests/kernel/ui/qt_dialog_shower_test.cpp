#include "framework/ui/qt_test_app.h"
#include "framework/ui/title_width.h"
#include "kernel/dlg_process.h"
#include "kernel/process_factory.h"
#include "kernel/ui/qt_dialog_shower.h"
#include "platform/cp1250.h"
#include "support/wait_until.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QScreen>
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

void PostText(TDLGPROC_Process& process, const std::string& text) {
    TProcMess mess = TProcMess::Create(TProcAdr{PT_DlgProc, 0, 0x2001}, TProcAdr{0x70, 1, 0x2001}, 0, 0, 0,
                                       TDlgProcTextRec{text, kDlgInformation}.ToBytes());
    bool keep = false;
    process.WorkProcMess(mess, keep);
}

// The box now on screen, once it is there; its centre and text.
QMessageBox* WaitForOneBox() {
    EXPECT_TRUE(testing::ProcessEventsUntil([] { return OpenBoxes().size() == 1; }, testing::kWaitLimit));
    return OpenBoxes().empty() ? nullptr : OpenBoxes().front();
}

int Distance(QPoint a, QPoint b) {
    return (a - b).manhattanLength();
}

TEST(QtDialogShower, TheFirstBoxOpensCentredOnTheScreenTheOnesThatWaitedOnTheOwnerForm) {
    QWidget owner;
    const QRect screen = owner.screen()->availableGeometry();
    owner.setGeometry(screen.left() + 20, screen.top() + 20, screen.width() / 2, screen.height() / 2);
    owner.show();
    ASSERT_GT(Distance(owner.frameGeometry().center(), screen.center()), 50) << "the test needs them apart";
    QtDialogShower shower(&owner);
    ScopedDialogShower guard(shower);
    TDLGPROC_Process process(nullptr);
    PostText(process, "Checksum OK");
    PostText(process, "Checksum Error");

    QMessageBox* first = WaitForOneBox();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->text(), "Checksum OK");
    EXPECT_LE(Distance(first->frameGeometry().center(), screen.center()), 2);
    EXPECT_GE(first->width(), ReadableTitleWidth(*first)) << "\"Information\" whole over a short text";
    first->button(QMessageBox::Ok)->click();
    ASSERT_TRUE(testing::ProcessEventsUntil(
        [] { return OpenBoxes().size() == 1 && OpenBoxes().front()->text() == "Checksum Error"; },
        testing::kWaitLimit));
    QMessageBox* second = OpenBoxes().front();
    EXPECT_LE(Distance(second->frameGeometry().center(), owner.frameGeometry().center()), 2);
    second->button(QMessageBox::Ok)->click();
    ASSERT_TRUE(testing::ProcessEventsUntil([] { return OpenBoxes().empty(); }, testing::kWaitLimit));
}

} // namespace
} // namespace ravlo
