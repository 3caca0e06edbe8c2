// The program's message boxes as they stand on the screen: every button inside the box, whatever
// the set of buttons, and the text as the platform shows a static text.
#include "framework/ui/qt_presenter.h"
#include "qt_test_app.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <functional>
#include <string>
#include <vector>

namespace ravlo {
namespace {

using B = TMsgDlgBtn;

TMsgDlgButtons SetOf(std::initializer_list<B> buttons) {
    TMsgDlgButtons set = 0;
    for (const B b : buttons) {
        set |= MsgDlgButton(b);
    }
    return set;
}

// Shows a dialog with the set and lets act work on it while it is open; answers the dialog's answer.
int ShowDlg(TMsgDlgButtons set, B defaultButton, const std::function<void(QMessageBox&)>& act) {
    testing::ShownDialogDriver<QMessageBox> driver(
        [&](QMessageBox& box) { act(box); },
        [](const QMessageBox& box) { return box.objectName() == QtPresenter::kBoxName; });
    const int answer = QtPresenter().MessageDlg("Overwrite the file?", "Confirm",
                                                MessageBoxKind::Confirmation, set, defaultButton);
    EXPECT_TRUE(driver.Acted());
    return answer;
}

// Where a button stands in the box.
QRect InBox(const QAbstractButton& button, const QWidget& box) {
    return {button.mapTo(&box, QPoint(0, 0)), button.size()};
}

// Every button of every set lies whole inside the box, apart from the others, and the box lies on
// its screen; a button clicked answers for itself, wherever it stands.
TEST(MessageBoxLayout, EveryButtonLiesInsideTheBoxForAnySet) {
    constexpr TMsgDlgButtons every = 0x7FF; // all eleven kinds
    const struct {
        TMsgDlgButtons set;
        B clicked; // its last button that closes the box
    } cases[] = {
        {SetOf({B::mbOK}), B::mbOK},
        {SetOf({B::mbYes, B::mbNo, B::mbCancel}), B::mbCancel},
        {SetOf({B::mbAbort, B::mbRetry, B::mbIgnore, B::mbHelp}), B::mbIgnore},
        {SetOf({B::mbYes, B::mbNo, B::mbAll, B::mbNoToAll, B::mbYesToAll, B::mbHelp}), B::mbYesToAll},
        {SetOf({B::mbYes, B::mbNo, B::mbOK, B::mbCancel, B::mbAbort, B::mbRetry, B::mbIgnore, B::mbAll}),
         B::mbAll},
        {every & ~MsgDlgButton(B::mbHelp), B::mbYesToAll},
        {every, B::mbYesToAll},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "set $" << std::hex << c.set);
        const int answer = ShowDlg(c.set, B::mbOK, [&c](QMessageBox& box) {
            const QRect inside(QPoint(0, 0), box.size());
            std::vector<QRect> taken;
            for (const B kind : MsgDlgButtonList(c.set)) {
                const char* name = MsgDlgButtonNames[static_cast<std::size_t>(kind)].data();
                auto* button = box.findChild<QAbstractButton*>(QString::fromLatin1(name));
                ASSERT_NE(button, nullptr) << name;
                const QRect at = InBox(*button, box);
                EXPECT_TRUE(button->isVisibleTo(&box)) << name;
                EXPECT_TRUE(inside.contains(at))
                    << name << " at " << at.x() << "," << at.y() << " " << at.width() << "x" << at.height()
                    << " in a box of " << inside.width() << "x" << inside.height();
                EXPECT_GE(at.width(), button->sizeHint().width()) << name << ": its caption is cut";
                for (const QRect& other : taken) {
                    EXPECT_FALSE(other.intersects(at)) << name << " lies over another button";
                }
                taken.push_back(at);
            }
            EXPECT_TRUE(box.screen()->availableGeometry().contains(box.frameGeometry()))
                << "box " << box.frameGeometry().width() << " wide on a screen of "
                << box.screen()->availableGeometry().width();
            const char* name = MsgDlgButtonNames[static_cast<std::size_t>(c.clicked)].data();
            box.findChild<QAbstractButton*>(QString::fromLatin1(name))->click();
        });
        EXPECT_EQ(answer, MsgDlgAnswer(c.clicked));
    }
}

// A box's text is a static text: "&&" stands for one "&" there, and a single "&" is no keyboard
// letter but itself.
TEST(MessageBoxText, ADoubledAmpersandShowsAsOne) {
    const struct {
        const char* text;
        const char* shown;
    } cases[] = {
        {R"(Memory modules "ROM" && "OVL" overlap each other!)",
         R"(Memory modules "ROM" & "OVL" overlap each other!)"},
        {R"(Project "C:\B&C\TWO.MEM" does not exist!)", R"(Project "C:\B&C\TWO.MEM" does not exist!)"},
        {"&&&", "&&"},
        {"Save && exit&&", "Save & exit&"},
    };
    for (const auto& c : cases) {
        QString shown;
        testing::ShownDialogDriver<QMessageBox> driver([&shown](QMessageBox& box) {
            shown = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))->text();
            box.accept();
        });
        QtPresenter().MessageBox(c.text, "Error", MB_OK | MB_ICONHAND);
        EXPECT_EQ(shown.toStdString(), c.shown);
    }
}

} // namespace
} // namespace ravlo
