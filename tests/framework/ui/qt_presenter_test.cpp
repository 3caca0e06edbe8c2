#include "framework/ui/qt_presenter.h"
#include "framework/ui/title_width.h"
#include "qt_test_app.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <atomic>
#include <functional>
#include <thread>

namespace ravlo {
namespace {

// What the presenter's box showed, and the answer after act worked on it.
struct Shown {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QString text, title;
    Qt::TextFormat format = Qt::RichText;
    int answer = 0;
};

Shown Show(const char* text, const char* title, unsigned flags, std::function<void(QMessageBox&)> act) {
    QtPresenter presenter;
    Shown shown;
    testing::ShownDialogDriver<QMessageBox> driver(
        [&](QMessageBox& box) {
            shown = {box.icon(), box.standardButtons(), box.text(), box.windowTitle(), box.textFormat()};
            act(box);
        },
        [](const QMessageBox& box) { return box.objectName() == QtPresenter::kBoxName; });
    shown.answer = presenter.MessageBox(text, title, flags);
    EXPECT_TRUE(driver.Acted());
    return shown;
}

void ClickDefault(QMessageBox& box) {
    box.defaultButton()->click();
}

TEST(QtPresenter, ShowsAConfirmationWithYesNoAndTheAskedDefaultAsPlainText) {
    const Shown shown =
        Show("Delete \x8A?", "Title", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, ClickDefault);
    EXPECT_EQ(shown.answer, IDNO);
    EXPECT_EQ(shown.icon, QMessageBox::Question);
    EXPECT_EQ(shown.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(shown.text, QString::fromUtf8("Delete Š?"));
    EXPECT_EQ(shown.title, QStringLiteral("Title"));
    EXPECT_EQ(shown.format, Qt::PlainText) << "never shown as markup";
}

TEST(QtPresenter, KindFollowsTheIconBitsUnknownButtonsShowOkAndTheClickedButtonOrEscapeAnswers) {
    for (const auto& [flags, icon] : {std::pair{MB_ICONHAND, QMessageBox::Critical},
                                      {MB_ICONASTERISK, QMessageBox::Information},
                                      {0x0F | 0x50, QMessageBox::Warning}}) {
        const Shown shown = Show("x", "", flags, ClickDefault);
        EXPECT_EQ(shown.answer, IDOK);
        EXPECT_EQ(shown.icon, icon) << "flags " << flags;
        EXPECT_EQ(shown.buttons, QMessageBox::Ok);
    }
    EXPECT_EQ(Show("failed", "", MB_ABORTRETRYIGNORE | MB_ICONHAND,
                   [](QMessageBox& box) { box.button(QMessageBox::Retry)->click(); })
                  .answer,
              IDRETRY);
    EXPECT_EQ(Show("go on?", "", MB_YESNOCANCEL | MB_ICONQUESTION,
                   [](QMessageBox& box) {
                       QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                       QCoreApplication::sendEvent(&box, &escape);
                   })
                  .answer,
              IDCANCEL);
    EXPECT_EQ(Show("# bad", "", MB_ABORTRETRYIGNORE, [](QMessageBox& box) { box.close(); }).answer, IDIGNORE)
        << "closed (as by Escape), the error hook's box must not answer Abort, which ends the program";
}

TEST(QtPresenter, ABoxAskedForFromAnotherThreadShowsOnTheGuiThread) {
    QtPresenter presenter;
    std::thread::id shownOn;
    testing::ShownDialogDriver<QMessageBox> driver([&](QMessageBox& box) {
        shownOn = std::this_thread::get_id();
        box.button(QMessageBox::Ok)->click();
    });
    std::atomic<int> answer{0};
    std::thread asker([&] { answer = presenter.MessageBox("from a worker", "", MB_OKCANCEL); });
    EXPECT_TRUE(testing::ProcessEventsUntil([&answer] { return answer.load() != 0; }));
    asker.join();
    EXPECT_EQ(answer.load(), IDOK);
    EXPECT_EQ(shownOn, std::this_thread::get_id());
}

// What a message dialog showed when it was up: its buttons by name with their captions (mnemonic
// marks taken out), the focused one, and whether it was centred on the screen and fit its title.
struct ShownDlg {
    std::vector<std::pair<QString, QString>> buttons;
    QString focused;
    QString defaultButton;
    bool buttonsWhole = true;
    QPoint centre;
    QPoint screenCentre;
    int width = 0;
    int titleWidth = 0;
    int answer = 0;
};

ShownDlg ShowDlg(const char* text, const char* caption, TMsgDlgButtons buttons, TMsgDlgBtn defaultButton,
                 std::function<void(QMessageBox&)> act) {
    QtPresenter presenter;
    ShownDlg shown;
    testing::ShownDialogDriver<QMessageBox> driver([&](QMessageBox& box) {
        for (QAbstractButton* button : box.buttons()) {
            shown.buttons.emplace_back(button->objectName(), button->text().remove(QLatin1Char('&')));
            shown.buttonsWhole = shown.buttonsWhole && button->width() >= button->sizeHint().width();
        }
        std::sort(shown.buttons.begin(), shown.buttons.end());
        shown.focused = box.focusWidget() != nullptr ? box.focusWidget()->objectName() : QString();
        shown.defaultButton = box.defaultButton() != nullptr ? box.defaultButton()->objectName() : QString();
        shown.centre = box.frameGeometry().center();
        shown.screenCentre = box.screen()->availableGeometry().center();
        shown.width = box.width();
        shown.titleWidth = ReadableTitleWidth(box);
        act(box);
    });
    shown.answer = presenter.MessageDlg(text, caption, MessageBoxKind::Confirmation, buttons, defaultButton);
    EXPECT_TRUE(driver.Acted());
    return shown;
}

void PressEnter(QMessageBox& box) {
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(&box, &enter);
}

TEST(QtPresenter, ADialogShowsEveryButtonKindWithItsCaptionAndEnterPressesTheFocusedDefault) {
    const ShownDlg shown = ShowDlg("Overwrite all?", "Confirm", 0x7FF, TMsgDlgBtn::mbNoToAll, PressEnter);
    const std::vector<std::pair<QString, QString>> expected = {
        {"Abort", "Abort"},   {"All", "All"}, {"Cancel", "Cancel"},      {"Help", "Help"},
        {"Ignore", "Ignore"}, {"No", "No"},   {"NoToAll", "No to All"},  {"OK", "OK"},
        {"Retry", "Retry"},   {"Yes", "Yes"}, {"YesToAll", "Yes to All"}};
    EXPECT_EQ(shown.buttons, expected);
    EXPECT_TRUE(shown.buttonsWhole) << "no caption is cut";
    EXPECT_EQ(shown.defaultButton, "NoToAll");
    EXPECT_EQ(shown.focused, "NoToAll") << "the default is the active control";
    EXPECT_EQ(shown.answer, IDNOTOALL);

    // The other buttons the classic box lacks answer as themselves.
    for (const auto& [name, answer] : {std::pair{"All", IDALL}, {"YesToAll", IDYESTOALL}}) {
        EXPECT_EQ(ShowDlg("?", "Confirm", 0x7FF, TMsgDlgBtn::mbYes,
                          [name = name](QMessageBox& box) {
                              box.findChild<QAbstractButton*>(QString::fromLatin1(name))->click();
                          })
                      .answer,
                  answer);
    }
}

// An active window away from the screen's centre, which a box takes as its owner.
class OffCentreWindow {
public:
    OffCentreWindow() {
        const QRect screen = window_.screen()->availableGeometry();
        window_.setGeometry(screen.left() + 10, screen.top() + 10, screen.width() / 2, screen.height() / 2);
        window_.show();
        window_.activateWindow();
        EXPECT_TRUE(testing::ProcessEventsUntil([this] { return QApplication::activeWindow() == &window_; }));
    }
    QPoint Centre() const { return window_.frameGeometry().center(); }

private:
    QWidget window_;
};

TEST(QtPresenter, ADialogOpensCentredOnTheScreenAndAsWideAsItsTitleNeeds) {
    const OffCentreWindow active;
    const ShownDlg shown =
        ShowDlg("Checksum OK", "Information", MsgDlgButton(TMsgDlgBtn::mbOK), TMsgDlgBtn::mbOK, PressEnter);
    EXPECT_LE((shown.centre - shown.screenCentre).manhattanLength(), 2)
        << shown.centre.x() << "," << shown.centre.y();
    EXPECT_GE(shown.width, shown.titleWidth) << "the title is not cut";
    EXPECT_EQ(shown.answer, IDOK);
}

TEST(QtPresenter, HelpLeavesTheDialogOpenAndADialogWithoutAnEscapeButtonIgnoresEscape) {
    const ShownDlg shown = ShowDlg("Retry?", "Confirm",
                                   MsgDlgButton(TMsgDlgBtn::mbRetry) | MsgDlgButton(TMsgDlgBtn::mbAbort) |
                                       MsgDlgButton(TMsgDlgBtn::mbHelp),
                                   TMsgDlgBtn::mbRetry, [](QMessageBox& box) {
                                       box.findChild<QAbstractButton*>("Help")->click();
                                       QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                                       QCoreApplication::sendEvent(&box, &escape);
                                       box.close();
                                       testing::ProcessPendingEvents();
                                       EXPECT_TRUE(box.isVisible())
                                           << "neither Help, Escape nor closing ends it";
                                       box.findChild<QAbstractButton*>("Abort")->click();
                                   });
    EXPECT_EQ(shown.answer, IDABORT);
}

TEST(QtPresenter, AClassicBoxOpensOnTheActiveWindowAndAlsoFitsItsTitle) {
    const OffCentreWindow active;
    QtPresenter presenter;
    int width = 0;
    int titleWidth = 0;
    QPoint centre;
    testing::ShownDialogDriver<QMessageBox> driver([&](QMessageBox& box) {
        width = box.width();
        titleWidth = ReadableTitleWidth(box);
        centre = box.frameGeometry().center();
        box.button(QMessageBox::Ok)->click();
    });
    presenter.MessageBox("Done", "A rather long title of a very short box", MB_OK | MB_ICONASTERISK);
    EXPECT_TRUE(driver.Acted());
    EXPECT_GE(width, titleWidth);
    EXPECT_LE((centre - active.Centre()).manhattanLength(), 2);
}

} // namespace
} // namespace ravlo
