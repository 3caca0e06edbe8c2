#include "framework/ui/qt_presenter.h"
#include "qt_test_app.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
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

} // namespace
} // namespace ravlo
