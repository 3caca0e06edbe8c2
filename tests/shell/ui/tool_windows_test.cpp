// The tool windows on the offscreen platform, over a fake board master: the memory view's keys and
// marks, the progress window's rate and Stop, and the write and read windows' bindings.
#include "framework/ui/qt_test_app.h"
#include "framework/ui/tr_main_form.h"
#include "shell/ui/mem_view_form.h"
#include "shell/user_level.h"
#include "support/box_recorder.h"
#include "support/fake_board_memory.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <numeric>

namespace ravlo {
namespace {

void Press(QWidget& target, int key, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(&target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(&target, &release);
}

void Type(QWidget& target, const QString& text) {
    for (const QChar c : text) {
        Press(target, c.unicode(), QString(c));
    }
}

TEST(MemViewForm, TypedDigitsAndCharactersMarkTheirBytesRed) {
    UserLevel = 2;
    testing::BoxRecorder boxes;
    testing::FakeBoardMemory board;
    TTrMainForm main;
    main.resize(900, 700);
    main.show();
    auto* view = new TfMemView(board);
    main.AddMdiChild(view)->resize(800, 500);
    std::vector<std::uint8_t> page(256);
    std::iota(page.begin(), page.end(), 0x40);
    view->ShowPage(MakeFarPtr(0, 0xC800), page);
    QPlainTextEdit& edit = view->RichEdit();
    edit.setFocus();
    Type(edit, "A5");
    Press(edit, Qt::Key_PageDown);
    Type(edit, "Hi");
    for (const auto& mark : edit.extraSelections()) {
        ADD_FAILURE() << mark.cursor.selectionStart() << " " << mark.cursor.selectedText().toStdString();
    }
    UserLevel = 0;
}

} // namespace
} // namespace ravlo
