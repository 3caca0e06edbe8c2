// The boxes as the program shows them: a text laid out in columns keeps them.
#include "framework/ui/qt_presenter.h"
#include "framework/ui/qt_test_app.h"

#include <QLabel>
#include <QMessageBox>
#include <QTimer>

namespace ravlo {
namespace {

TEST(MessageBoxes, ATableOfValuesIsShownInAFixedPitchFont) {
    QtPresenter presenter;
    for (const auto& [text, fixed] : {std::pair{"BIOS version:   1.2\r\nBIOS  ident.:   VOK188ER", true},
                                      std::pair{"Invalid!\r\n\r\n   - /G: Generate", false}}) {
        std::optional<bool> shownFixed;
        QTimer::singleShot(0, [&shownFixed] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box != nullptr) {
                shownFixed = QFontInfo(box->findChild<QLabel*>("qt_msgbox_label")->font()).fixedPitch();
                box->accept();
            }
        });
        presenter.MessageBox(text, "Information", MB_OK | MB_ICONASTERISK);
        EXPECT_EQ(shownFixed, fixed) << text;
    }
}

} // namespace
} // namespace ravlo
