#pragma once

#include "platform/message_box_flags.h"
#include "platform/presenter.h"

#include <deque>
#include <string>
#include <vector>

namespace ravlo::testing {

// The presenter while it lives: keeps the text of every box and answers the next of answers, or
// the box's default button when none is left; counts the beeps.
class BoxRecorder final : public Presenter {
public:
    int MessageBox(std::string_view text, std::string_view, unsigned flags) override {
        return Next(text, DefaultMessageBoxAnswer(flags));
    }
    int MessageDlg(std::string_view text, std::string_view, MessageBoxKind, TMsgDlgButtons buttons,
                   TMsgDlgBtn defaultButton) override {
        return Next(text, MsgDlgDefaultAnswer(buttons, defaultButton));
    }
    void Beep(unsigned) override { ++beeps; }

    // The last box's text ("" for none); forgets every box.
    std::string Take() {
        std::string last = texts.empty() ? std::string() : texts.back();
        texts.clear();
        return last;
    }

    std::vector<std::string> texts;
    std::deque<int> answers;
    int beeps = 0;

private:
    int Next(std::string_view text, int defaultAnswer) {
        texts.emplace_back(text);
        if (answers.empty()) {
            return defaultAnswer;
        }
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }

    ScopedPresenter scoped_{*this};
};

} // namespace ravlo::testing
