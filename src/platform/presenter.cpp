#include "platform/presenter.h"

#include "platform/cp1250.h"

#include <algorithm>
#include <atomic>
#include <cstdio>

namespace ravlo {
namespace {

// A box text may hold several lines; the report keeps to one.
std::string OnOneLine(std::string_view text) {
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            line += " | ";
        } else {
            line += text[i];
        }
    }
    return line;
}

void WriteToStderr(std::string_view line) {
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fputc('\n', stderr);
}

HeadlessPresenter& DefaultPresenter() {
    static HeadlessPresenter presenter;
    return presenter;
}

std::atomic<Presenter*>& CurrentPresenter() {
    static std::atomic<Presenter*> presenter{&DefaultPresenter()};
    return presenter;
}

} // namespace

std::string DescribeMessageBox(std::string_view text, std::string_view caption, unsigned flags, int answer) {
    std::string line(KindName(MessageBoxKindOf(flags)));
    line += " \"" + Cp1250ToUtf8(OnOneLine(caption)) + "\": " + Cp1250ToUtf8(OnOneLine(text)) + " [";
    const std::vector<int> buttons = MessageBoxButtons(flags);
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        line += (i > 0 ? "/" : "");
        line += AnswerName(buttons[i]);
    }
    line += "] -> ";
    line += AnswerName(answer);
    return line;
}

HeadlessPresenter::HeadlessPresenter() : sink_(WriteToStderr) {}

int HeadlessPresenter::MessageBox(std::string_view text, std::string_view caption, unsigned flags) {
    const int answer = DefaultMessageBoxAnswer(flags);
    sink_(DescribeMessageBox(text, caption, flags, answer));
    return answer;
}

int ScriptedPresenter::MessageBox(std::string_view text, std::string_view caption, unsigned flags) {
    int answer = DefaultMessageBoxAnswer(flags);
    if (answers_.empty()) {
        Fault("no scripted answer for " + DescribeMessageBox(text, caption, flags, answer));
    } else {
        const int scripted = answers_.front();
        answers_.pop_front();
        const std::vector<int> buttons = MessageBoxButtons(flags);
        if (std::find(buttons.begin(), buttons.end(), scripted) != buttons.end()) {
            answer = scripted;
        } else {
            Fault("scripted answer " + std::string(AnswerName(scripted)) + " is not a button of " +
                  DescribeMessageBox(text, caption, flags, answer));
        }
    }
    boxes_.push_back({std::string(text), std::string(caption), flags, answer});
    return answer;
}

void ScriptedPresenter::Fault(std::string text) {
    WriteToStderr("ScriptedPresenter: " + text);
    faults_.push_back(std::move(text));
}

Presenter& GetPresenter() {
    return *CurrentPresenter().load();
}

Presenter* SetPresenter(Presenter* presenter) {
    return CurrentPresenter().exchange(presenter != nullptr ? presenter : &DefaultPresenter());
}

} // namespace ravlo
