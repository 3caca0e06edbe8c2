#include "platform/message_box_flags.h"
#include "platform/msg_dlg_buttons.h"

#include <gtest/gtest.h>
#include <optional>

namespace ravlo {
namespace {

using B = TMsgDlgBtn;

// An answer names the one button that gives it. 0 is the answer of no button: Help answers nothing
// (it leaves the dialog open), so a 0 that some presenter gives must not pass for Help; neither does
// a number that no button answers.
TEST(MsgDlgAnswer, EveryAnswerNamesTheButtonThatGivesItAndNoneNamesHelp) {
    const struct {
        int answer;
        std::optional<B> button;
    } cases[] = {
        {0, std::nullopt},         {-1, std::nullopt},          {11, std::nullopt},    {0x7FF, std::nullopt},
        {IDOK, B::mbOK},           {IDCANCEL, B::mbCancel},     {IDABORT, B::mbAbort}, {IDRETRY, B::mbRetry},
        {IDIGNORE, B::mbIgnore},   {IDYES, B::mbYes},           {IDNO, B::mbNo},       {IDALL, B::mbAll},
        {IDNOTOALL, B::mbNoToAll}, {IDYESTOALL, B::mbYesToAll},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MsgDlgButtonOf(c.answer), c.button) << c.answer;
        if (c.button) {
            EXPECT_EQ(MsgDlgAnswer(*c.button), c.answer);
            EXPECT_EQ(AnswerName(c.answer), MsgDlgButtonNames[static_cast<std::size_t>(*c.button)]);
        }
    }
    EXPECT_EQ(MsgDlgAnswer(B::mbHelp), 0) << "Help closes nothing, so it answers nothing";
}

} // namespace
} // namespace ravlo
