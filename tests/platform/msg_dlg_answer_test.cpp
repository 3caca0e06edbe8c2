#include "platform/message_box_flags.h"
#include "platform/msg_dlg_buttons.h"

#include <gtest/gtest.h>
#include <optional>

namespace ravlo {
namespace {

using B = TMsgDlgBtn;

// An answer names the one button that gives it. Help answers nothing (it leaves the dialog open),
// so 0 names no button: a 0 that some presenter gives must not pass for Help; neither does a number
// that no button answers.
TEST(MsgDlgAnswer, EveryAnswerNamesTheButtonThatGivesItAndNoneNamesHelp) {
    for (std::size_t b = 0; b < MsgDlgButtonNames.size(); ++b) {
        const auto button = static_cast<B>(b);
        const int answer = MsgDlgAnswer(button);
        if (button == B::mbHelp) {
            EXPECT_EQ(answer, 0);
            continue;
        }
        EXPECT_EQ(MsgDlgButtonOf(answer), button) << MsgDlgButtonNames[b];
        EXPECT_EQ(AnswerName(answer), MsgDlgButtonNames[b]);
    }
    for (const int none : {0, -1, 11, 0x7FF}) {
        EXPECT_EQ(MsgDlgButtonOf(none), std::nullopt) << none;
    }
}

} // namespace
} // namespace ravlo
