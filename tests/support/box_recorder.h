#pragma once

#include "platform/message_box_flags.h"
#include "platform/presenter.h"

#include <string>
#include <vector>

namespace ravlo::testing {

// The presenter while it lives: keeps the text of every box and answers its default button.
class BoxRecorder final : public Presenter {
public:
    int MessageBox(std::string_view text, std::string_view, unsigned flags) override {
        texts.emplace_back(text);
        return DefaultMessageBoxAnswer(flags);
    }
    void Beep(unsigned) override {}

    // The last box's text ("" for none); forgets every box.
    std::string Take() {
        std::string last = texts.empty() ? std::string() : texts.back();
        texts.clear();
        return last;
    }

    std::vector<std::string> texts;

private:
    ScopedPresenter scoped_{*this};
};

} // namespace ravlo::testing
