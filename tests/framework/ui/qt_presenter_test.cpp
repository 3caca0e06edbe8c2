#include "framework/ui/qt_presenter.h"
#include "qt_test_app.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <atomic>
#include <functional>
#include <thread>

namespace ravlo {
namespace {

// Acts on the presenter's next box.
class BoxDriver : public testing::ShownDialogDriver<QMessageBox> {
public:
    explicit BoxDriver(std::function<void(QMessageBox&)> act)
        : ShownDialogDriver(std::move(act), [](const QMessageBox& box) {
              return box.objectName() == QtPresenter::kBoxName;
          }) {}
};

TEST(QtPresenter, ShowsAConfirmationWithYesNoAndTheAskedDefault) {
    QtPresenter presenter;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QString text;
    QString title;
    Qt::TextFormat format = Qt::RichText;
    BoxDriver driver([&](QMessageBox& box) {
        icon = box.icon();
        buttons = box.standardButtons();
        text = box.text();
        title = box.windowTitle();
        format = box.textFormat();
        box.defaultButton()->click();
    });
    const int answer =
        presenter.MessageBox("Delete \x8A?", "Title", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
    ASSERT_TRUE(driver.Acted());
    EXPECT_EQ(answer, IDNO);
    EXPECT_EQ(icon, QMessageBox::Question);
    EXPECT_EQ(buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(text, QString::fromUtf8("Delete Š?"));
    EXPECT_EQ(title, QStringLiteral("Title"));
    EXPECT_EQ(format, Qt::PlainText) << "never shown as markup";
}

TEST(QtPresenter, KindFollowsTheIconBitsAndUnknownButtonsShowOk) {
    struct Case {
        unsigned flags;
        QMessageBox::Icon icon;
    };
    for (const Case& c :
         {Case{MB_ICONHAND, QMessageBox::Critical}, Case{MB_ICONASTERISK, QMessageBox::Information},
          Case{MB_ICONEXCLAMATION, QMessageBox::Warning}, Case{0x0F | 0x50, QMessageBox::Warning}}) {
        QtPresenter presenter;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
        BoxDriver driver([&](QMessageBox& box) {
            icon = box.icon();
            buttons = box.standardButtons();
            box.defaultButton()->click();
        });
        EXPECT_EQ(presenter.MessageBox("x", "", c.flags), IDOK);
        EXPECT_EQ(icon, c.icon) << "flags " << c.flags;
        EXPECT_EQ(buttons, QMessageBox::Ok);
    }
}

TEST(QtPresenter, AnswersTheButtonThatWasClickedAndCancelForEscape) {
    QtPresenter presenter;
    {
        BoxDriver driver([](QMessageBox& box) { box.button(QMessageBox::Retry)->click(); });
        EXPECT_EQ(presenter.MessageBox("failed", "", MB_ABORTRETRYIGNORE | MB_ICONHAND), IDRETRY);
        ASSERT_TRUE(driver.Acted());
    }
    BoxDriver driver([](QMessageBox& box) {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(&box, &escape);
    });
    EXPECT_EQ(presenter.MessageBox("go on?", "", MB_YESNOCANCEL | MB_ICONQUESTION), IDCANCEL);
    ASSERT_TRUE(driver.Acted());
}

TEST(QtPresenter, ABoxAskedForFromAnotherThreadShowsOnTheGuiThread) {
    QtPresenter presenter;
    std::thread::id shownOn;
    BoxDriver driver([&](QMessageBox& box) {
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
