#include "platform/cp1250.h"
#include "platform/presenter.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>

namespace ravlo {
namespace {

// What every presenter promises the core: a box is answered with one of its own buttons, also when
// a script answers with another.
TEST(Presenter, EveryPresenterAnswersWithAButtonOfTheBox) {
    ScriptedPresenter scripted;
    for (int i = 0; i < 64; ++i) {
        scripted.QueueAnswer(i % 2 == 0 ? IDYES : IDRETRY);
    }
    HeadlessPresenter headless([](std::string_view) {});
    for (Presenter* presenter : std::initializer_list<Presenter*>{&headless, &scripted}) {
        for (unsigned buttons = 0; buttons <= 7; ++buttons) {
            for (const unsigned extra : {0u, MB_ICONHAND, MB_ICONQUESTION | MB_DEFBUTTON2, MB_DEFBUTTON3}) {
                const unsigned flags = buttons | extra;
                const auto allowed = MessageBoxButtons(flags);
                const int answer = presenter->MessageBox("text", "caption", flags);
                EXPECT_NE(std::find(allowed.begin(), allowed.end(), answer), allowed.end())
                    << "flags " << flags;
            }
        }
        presenter->Beep(MB_ICONEXCLAMATION);
    }
}

TEST(MessageBoxFlags, ButtonsKindsAndDefaults) {
    EXPECT_EQ(MessageBoxButtons(MB_ABORTRETRYIGNORE | MB_ICONHAND),
              (std::vector<int>{IDABORT, IDRETRY, IDIGNORE}));
    EXPECT_EQ(MessageBoxButtons(0x6), std::vector<int>{IDOK});
    EXPECT_EQ(DefaultMessageBoxAnswer(MB_YESNOCANCEL), IDYES);
    EXPECT_EQ(DefaultMessageBoxAnswer(MB_YESNOCANCEL | MB_DEFBUTTON3), IDCANCEL);
    EXPECT_EQ(DefaultMessageBoxAnswer(MB_YESNO | MB_DEFBUTTON3), IDYES); // no third button
    EXPECT_EQ(MessageBoxKindOf(MB_YESNO | MB_ICONQUESTION), MessageBoxKind::Confirmation);
    EXPECT_EQ(MessageBoxKindOf(MB_ICONASTERISK), MessageBoxKind::Information);
    EXPECT_EQ(MessageBoxKindOf(0x50), MessageBoxKind::Warning);
}

TEST(HeadlessPresenter, ReportsEachBoxAsOneUtf8Line) {
    std::vector<std::string> lines;
    HeadlessPresenter presenter([&](std::string_view line) { lines.emplace_back(line); });
    const std::string text = Utf8ToCp1250("Uložit změny?\r\nProjekt DEMO");
    EXPECT_EQ(presenter.MessageBox(text, "Ravlo", MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(presenter.MessageBox("Device not connected!", "", MB_OK | MB_ICONHAND), IDOK);
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "Confirmation \"Ravlo\": Uložit změny? | Projekt DEMO [Yes/No/Cancel] -> No",
                         "Error \"\": Device not connected! [OK] -> OK",
                     }));
}

TEST(ScriptedPresenter, AnswersFromTheScriptRecordsAndReportsFaults) {
    ScriptedPresenter presenter;
    presenter.QueueAnswer(IDRETRY);
    presenter.QueueAnswer(IDYES);
    EXPECT_EQ(presenter.MessageBox("first", "t", MB_ABORTRETRYIGNORE), IDRETRY);
    presenter.Beep(MB_OK);
    presenter.Beep(MB_ICONHAND);
    EXPECT_EQ(presenter.Beeps(), (std::vector<unsigned>{MB_OK, MB_ICONHAND}));
    // An answer the box has no button for, then no answer left: the default, and a fault each.
    EXPECT_EQ(presenter.MessageBox("not a question", "t", MB_OKCANCEL | MB_DEFBUTTON2), IDCANCEL);
    EXPECT_EQ(presenter.UnusedAnswers(), 0u);
    EXPECT_EQ(presenter.MessageBox("unexpected", "t", MB_YESNO), IDYES);
    ASSERT_EQ(presenter.Boxes().size(), 3u);
    ASSERT_EQ(presenter.Faults().size(), 2u);
    EXPECT_NE(presenter.Faults()[0].find("not a button"), std::string::npos);
    EXPECT_NE(presenter.Faults()[1].find("no scripted answer"), std::string::npos);
    EXPECT_NE(presenter.Faults()[1].find("unexpected"), std::string::npos);
}

TEST(Presenter, ProcessWidePresenterIsHeadlessUntilReplaced) {
    ScriptedPresenter scripted;
    EXPECT_NE(dynamic_cast<HeadlessPresenter*>(&GetPresenter()), nullptr);
    SetPresenter(&scripted);
    EXPECT_EQ(&GetPresenter(), &scripted);
    EXPECT_EQ(SetPresenter(nullptr), &scripted);
    EXPECT_NE(dynamic_cast<HeadlessPresenter*>(&GetPresenter()), nullptr)
        << "nullptr puts the headless one back";
}

} // namespace
} // namespace ravlo
