#include "framework/ui/qt_test_app.h"
#include "kernel/dlg_process.h"
#include "kernel/process_factory.h"
#include "kernel/ui/qt_dialog_shower.h"
#include "platform/cp1250.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <gtest/gtest.h>

namespace ravlo {
namespace {

using testing::ProcessEventsUntil;

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

void Post(TDLGPROC_Process& process, const std::string& text, std::uint8_t type) {
    const auto bytes = TDlgProcTextRec{text, type}.ToBytes();
    TProcMess mess =
        TProcMess::Create(TProcAdr{PT_DlgProc, 0, 0x2001}, TProcAdr{0x70, 1, 0x2001}, 0, 0, 0, bytes);
    bool keep = false;
    process.WorkProcMess(mess, keep);
}

TEST(QtDialogShower, TextsAreShownOneAtATimeWithoutBlocking) {
    QtDialogShower shower;
    ScopedDialogShower guard(shower);
    TDLGPROC_Process process(nullptr);

    Post(process, "Communication Lost", kDlgError);
    Post(process, "Communication Lost", kDlgError);
    Post(process, Utf8ToCp1250("Přenos hotov"), kDlgInformation);
    // The deliveries returned: nothing waited for the user.
    ASSERT_TRUE(ProcessEventsUntil([] { return OpenBoxes().size() == 1; }));
    QMessageBox* first = OpenBoxes().front();
    EXPECT_EQ(first->text(), "Communication Lost");
    EXPECT_EQ(first->icon(), QMessageBox::Critical);
    EXPECT_EQ(first->windowTitle(), "Error");
    EXPECT_EQ(process.Queue().size(), 3u);

    first->button(QMessageBox::Ok)->click();
    ASSERT_TRUE(ProcessEventsUntil([] {
        const auto boxes = OpenBoxes();
        return boxes.size() == 1 && boxes.front()->icon() == QMessageBox::Information;
    }));
    QMessageBox* second = OpenBoxes().front();
    EXPECT_EQ(second->text(), QString::fromUtf8("Přenos hotov")) << "code page 1250 text shown as such";
    EXPECT_EQ(process.Queue().size(), 1u) << "the copy of the closed text was dropped";

    second->button(QMessageBox::Ok)->click();
    ASSERT_TRUE(ProcessEventsUntil([] { return OpenBoxes().empty(); }));
    EXPECT_TRUE(process.Queue().empty());
}

} // namespace
} // namespace ravlo
