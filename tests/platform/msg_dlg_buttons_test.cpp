#include "platform/message_box_flags.h"
#include "platform/msg_dlg_buttons.h"
#include "platform/presenter.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <optional>

namespace ravlo {
namespace {

using B = TMsgDlgBtn;
using List = std::vector<B>;

TMsgDlgButtons SetOf(std::initializer_list<B> buttons) {
    TMsgDlgButtons set = 0;
    for (const B b : buttons) {
        set |= MsgDlgButton(b);
    }
    return set;
}

TEST(MsgDlgButtons, ListKeepsTheOrderOfTheNamesAndAlwaysHasAButtonThatCloses) {
    EXPECT_EQ(MsgDlgButtonList(SetOf({B::mbHelp, B::mbYesToAll, B::mbYes, B::mbAll})),
              (List{B::mbYes, B::mbAll, B::mbYesToAll, B::mbHelp}));
    EXPECT_EQ(MsgDlgButtonList(0), List{B::mbOK}) << "a box without buttons could not be left";
    EXPECT_EQ(MsgDlgButtonList(SetOf({B::mbHelp})), (List{B::mbOK, B::mbHelp})) << "Help does not close";
    EXPECT_EQ(MsgDlgButtonList(0xFFFFF800u | MsgDlgButton(B::mbNo)), List{B::mbNo}) << "unknown bits";
}

TEST(MsgDlgButtons, DefaultAndEscapeButtons) {
    const struct {
        List buttons;
        B asked;
        B pressedByEnter;
        std::optional<B> pressedByEscape;
    } cases[] = {
        {{B::mbYes, B::mbNo, B::mbYesToAll}, B::mbYesToAll, B::mbYesToAll, B::mbNo},
        {{B::mbYes, B::mbNo}, B::mbCancel, B::mbYes, B::mbNo},                // not in the box: the first
        {{B::mbYes, B::mbAll, B::mbHelp}, B::mbHelp, B::mbYes, std::nullopt}, // Help closes nothing
        {{B::mbHelp, B::mbNoToAll}, B::mbHelp, B::mbNoToAll, std::nullopt},
        {{B::mbOK, B::mbCancel}, B::mbOK, B::mbOK, B::mbCancel},
        {{B::mbAbort, B::mbRetry, B::mbIgnore}, B::mbAbort, B::mbAbort, B::mbIgnore},
        {{B::mbAbort, B::mbRetry}, B::mbRetry, B::mbRetry, std::nullopt}, // Escape never aborts
        {{B::mbOK, B::mbAll}, B::mbAll, B::mbAll, B::mbOK},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.buttons.size()) + " buttons, asked " +
                     std::string(MsgDlgButtonNames[static_cast<std::size_t>(c.asked)]));
        EXPECT_EQ(MsgDlgDefault(c.buttons, c.asked), c.pressedByEnter);
        EXPECT_EQ(MsgDlgEscape(c.buttons), c.pressedByEscape);
    }
}

// A classic box presses the same buttons on Escape as before dialogs had their own rule.
TEST(MsgDlgButtons, EscapeOfTheClassicRows) {
    const int expected[] = {IDOK, IDCANCEL, IDIGNORE, IDCANCEL, IDNO, IDCANCEL};
    for (unsigned row = MB_OK; row <= MB_RETRYCANCEL; ++row) {
        EXPECT_EQ(EscapeMessageBoxAnswer(row | MB_DEFBUTTON2), expected[row]) << row;
    }
}

TEST(MsgDlgButtons, EveryPresenterAnswersADialogWithOneOfItsClosingButtons) {
    ScriptedPresenter scripted;
    HeadlessPresenter headless([](std::string_view) {});
    const TMsgDlgButtons sets[] = {0, SetOf({B::mbHelp}), SetOf({B::mbYes, B::mbNo, B::mbCancel}),
                                   SetOf({B::mbAll, B::mbNoToAll, B::mbYesToAll, B::mbHelp}), 0x7FF};
    for (Presenter* presenter : std::initializer_list<Presenter*>{&headless, &scripted}) {
        for (const TMsgDlgButtons set : sets) {
            for (std::size_t d = 0; d < MsgDlgButtonNames.size(); ++d) {
                scripted.QueueAnswer(IDYESTOALL);
                const List shown = MsgDlgButtonList(set);
                const int answer =
                    presenter->MessageDlg("t", "c", MessageBoxKind::Warning, set, static_cast<B>(d));
                const std::optional<B> pressed = MsgDlgButtonOf(answer);
                ASSERT_TRUE(pressed.has_value()) << answer;
                EXPECT_NE(std::find(shown.begin(), shown.end(), *pressed), shown.end()) << set << " " << d;
            }
        }
    }
}

TEST(HeadlessPresenter, ReportsADialogWithEveryButtonAndAnswersItsDefault) {
    std::vector<std::string> lines;
    HeadlessPresenter presenter([&](std::string_view line) { lines.emplace_back(line); });
    EXPECT_EQ(
        presenter.MessageDlg("Overwrite?", "Confirm", MessageBoxKind::Confirmation, 0x7FF, B::mbNoToAll),
        IDNOTOALL);
    EXPECT_EQ(presenter.MessageDlg("Help?", "Information", MessageBoxKind::Information, SetOf({B::mbHelp}),
                                   B::mbHelp),
              IDOK);
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "Confirmation \"Confirm\": Overwrite? "
                         "[Yes/No/OK/Cancel/Abort/Retry/Ignore/All/NoToAll/YesToAll/Help] -> NoToAll",
                         "Information \"Information\": Help? [OK/Help] -> OK",
                     }));
}

TEST(ScriptedPresenter, ADialogIsAnsweredFromTheScriptOnlyWithOneOfItsButtons) {
    ScriptedPresenter presenter;
    presenter.QueueAnswer(IDALL);
    presenter.QueueAnswer(IDALL);
    const TMsgDlgButtons set = SetOf({B::mbYes, B::mbAll, B::mbHelp});
    EXPECT_EQ(presenter.MessageDlg("a", "c", MessageBoxKind::Error, set, B::mbYes), IDALL);
    EXPECT_EQ(presenter.MessageDlg("b", "c", MessageBoxKind::Error, SetOf({B::mbYes, B::mbNo}), B::mbNo),
              IDNO);
    ASSERT_EQ(presenter.Faults().size(), 1u) << "All is no button of the second";
    ASSERT_EQ(presenter.Boxes().size(), 2u);
    EXPECT_EQ(presenter.Boxes()[0].buttons, set);
    EXPECT_EQ(presenter.Boxes()[0].flags, MB_ICONHAND);
}

} // namespace
} // namespace ravlo
