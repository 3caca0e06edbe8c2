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

std::string Describe(MessageBoxKind kind, std::string_view text, std::string_view caption,
                     const std::vector<std::string_view>& buttonNames, int answer) {
    std::string line(KindName(kind));
    line += " \"" + Cp1250ToUtf8(OnOneLine(caption)) +
            "\": " + Cp1250ToUtf8(OnOneLine(MessageTextShown(text))) + " [";
    for (std::size_t i = 0; i < buttonNames.size(); ++i) {
        line += (i > 0 ? "/" : "");
        line += buttonNames[i];
    }
    line += "] -> ";
    line += AnswerName(answer);
    return line;
}

} // namespace

std::string DescribeMessageBox(std::string_view text, std::string_view caption, unsigned flags, int answer) {
    std::vector<std::string_view> names;
    for (const int button : MessageBoxButtons(flags)) {
        names.push_back(AnswerName(button));
    }
    return Describe(MessageBoxKindOf(flags), text, caption, names, answer);
}

std::string DescribeMessageDlg(std::string_view text, std::string_view caption, MessageBoxKind kind,
                               TMsgDlgButtons buttons, int answer) {
    std::vector<std::string_view> names;
    for (const TMsgDlgBtn button : MsgDlgButtonList(buttons)) {
        names.push_back(MsgDlgButtonNames[static_cast<std::size_t>(button)]);
    }
    return Describe(kind, text, caption, names, answer);
}

HeadlessPresenter::HeadlessPresenter() : sink_(WriteToStderr) {}

int HeadlessPresenter::MessageBox(std::string_view text, std::string_view caption, unsigned flags) {
    const int answer = DefaultMessageBoxAnswer(flags);
    sink_(DescribeMessageBox(text, caption, flags, answer));
    return answer;
}

int HeadlessPresenter::MessageDlg(std::string_view text, std::string_view caption, MessageBoxKind kind,
                                  TMsgDlgButtons buttons, TMsgDlgBtn defaultButton) {
    const int answer = MsgDlgDefaultAnswer(buttons, defaultButton);
    sink_(DescribeMessageDlg(text, caption, kind, buttons, answer));
    return answer;
}

int ScriptedPresenter::MessageBox(std::string_view text, std::string_view caption, unsigned flags) {
    const int fallback = DefaultMessageBoxAnswer(flags);
    const int answer =
        NextAnswer(MessageBoxButtons(flags), fallback, DescribeMessageBox(text, caption, flags, fallback));
    boxes_.push_back({std::string(text), std::string(caption), flags, answer});
    return answer;
}

int ScriptedPresenter::MessageDlg(std::string_view text, std::string_view caption, MessageBoxKind kind,
                                  TMsgDlgButtons buttons, TMsgDlgBtn defaultButton) {
    std::vector<int> answers;
    for (const TMsgDlgBtn button : MsgDlgButtonList(buttons)) {
        answers.push_back(MsgDlgAnswer(button));
    }
    const int fallback = MsgDlgDefaultAnswer(buttons, defaultButton);
    const int answer =
        NextAnswer(answers, fallback, DescribeMessageDlg(text, caption, kind, buttons, fallback));
    boxes_.push_back(
        {std::string(text), std::string(caption), IconFlagsOf(kind), answer, buttons, defaultButton});
    return answer;
}

int ScriptedPresenter::NextAnswer(const std::vector<int>& answers, int fallback,
                                  const std::string& described) {
    if (answers_.empty()) {
        Fault("no scripted answer for " + described);
        return fallback;
    }
    const int scripted = answers_.front();
    answers_.pop_front();
    if (scripted == 0 || std::find(answers.begin(), answers.end(), scripted) == answers.end()) {
        Fault("scripted answer " + std::string(AnswerName(scripted)) + " is not a button of " + described);
        return fallback;
    }
    return scripted;
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
