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

// Which texts are shown and when is the dialog process's; here, that the boxes do not block and
// show the text, icon and caption.
TEST(QtDialogShower, TextsAreShownOneAtATimeWithoutBlocking) {
    QtDialogShower shower;
    ScopedDialogShower guard(shower);
    TDLGPROC_Process process(nullptr);
    for (const auto& [text, type] : {std::pair{std::string("Communication Lost"), kDlgError},
                                     std::pair{Utf8ToCp1250("Přenos hotov"), kDlgInformation}}) {
        TProcMess mess = TProcMess::Create(TProcAdr{PT_DlgProc, 0, 0x2001}, TProcAdr{0x70, 1, 0x2001}, 0, 0,
                                           0, TDlgProcTextRec{text, type}.ToBytes());
        bool keep = false;
        process.WorkProcMess(mess, keep); // returns: nothing waits for the user
    }
    const auto until = [](const std::function<bool()>& done) {
        return testing::ProcessEventsUntil(done, testing::kWaitLimit);
    };
    ASSERT_TRUE(until([] { return OpenBoxes().size() == 1; }));
    QMessageBox* first = OpenBoxes().front();
    EXPECT_EQ(first->text(), "Communication Lost");
    EXPECT_EQ(first->icon(), QMessageBox::Critical);
    EXPECT_EQ(first->windowTitle(), "Error");

    first->button(QMessageBox::Ok)->click();
    ASSERT_TRUE(until([] {
        const auto boxes = OpenBoxes();
        return boxes.size() == 1 && boxes.front()->icon() == QMessageBox::Information;
    }));
    QMessageBox* second = OpenBoxes().front();
    EXPECT_EQ(second->text(), QString::fromUtf8("Přenos hotov")) << "code page 1250 text shown as such";
    second->button(QMessageBox::Ok)->click();
    ASSERT_TRUE(until([] { return OpenBoxes().empty(); }));
    EXPECT_TRUE(process.Queue().empty());
}

} // namespace
} // namespace ravlo
