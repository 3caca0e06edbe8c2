#pragma once

#include "platform/message_box_flags.h"
#include "platform/msg_dlg_buttons.h"
#include "platform/scoped_install.h"

#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ravlo {

// Where the core shows message boxes and sounds beeps; the GUI puts its own presenter in place, and
// headless runs and tests use the ones below. Texts are code page 1250 bytes; flags and answers are
// the MB_* and ID* numbers.
class Presenter {
public:
    virtual ~Presenter() = default;
    virtual int MessageBox(std::string_view text, std::string_view caption, unsigned flags) = 0;
    // A message dialog with buttons of every kind (MsgDlgButtonList(buttons)), centred on the screen,
    // defaultButton its active control when it has that button; answers the ID* of the button pressed.
    virtual int MessageDlg(std::string_view text, std::string_view caption, MessageBoxKind kind,
                           TMsgDlgButtons buttons, TMsgDlgBtn defaultButton) = 0;
    // `kind` is an MB_ICON* value, or MB_OK for the plain beep.
    virtual void Beep(unsigned kind) = 0;
};

// One UTF-8 line that tells what a box showed and what it answered.
std::string DescribeMessageBox(std::string_view text, std::string_view caption, unsigned flags, int answer);
std::string DescribeMessageDlg(std::string_view text, std::string_view caption, MessageBoxKind kind,
                               TMsgDlgButtons buttons, int answer);

// Answers every box with its default button and reports it as one line; beeps are silent.
class HeadlessPresenter final : public Presenter {
public:
    using LineSink = std::function<void(std::string_view utf8Line)>;

    HeadlessPresenter(); // lines go to stderr
    explicit HeadlessPresenter(LineSink sink) : sink_(std::move(sink)) {}

    int MessageBox(std::string_view text, std::string_view caption, unsigned flags) override;
    int MessageDlg(std::string_view text, std::string_view caption, MessageBoxKind kind,
                   TMsgDlgButtons buttons, TMsgDlgBtn defaultButton) override;
    void Beep(unsigned) override {}

private:
    LineSink sink_;
};

// Answers boxes from a script and records every call, for tests. A box with no answer left, or an
// answer the box has no button for, is a fault: it is recorded (and told on stderr) and the box
// gets its default answer, so a test can check Faults() is empty.
class ScriptedPresenter final : public Presenter {
public:
    struct Box {
        std::string text;
        std::string caption;
        unsigned flags = 0; // a message dialog's: the icon bits of its kind
        int answer = 0;
        TMsgDlgButtons buttons = 0; // a message dialog's; 0 for a box of flags
        TMsgDlgBtn defaultButton = TMsgDlgBtn::mbOK;
    };

    void QueueAnswer(int answer) { answers_.push_back(answer); }
    int MessageBox(std::string_view text, std::string_view caption, unsigned flags) override;
    int MessageDlg(std::string_view text, std::string_view caption, MessageBoxKind kind,
                   TMsgDlgButtons buttons, TMsgDlgBtn defaultButton) override;
    void Beep(unsigned kind) override { beeps_.push_back(kind); }

    const std::vector<Box>& Boxes() const { return boxes_; }
    const std::vector<unsigned>& Beeps() const { return beeps_; }
    const std::vector<std::string>& Faults() const { return faults_; }
    std::size_t UnusedAnswers() const { return answers_.size(); }

private:
    void Fault(std::string text);
    // The next scripted answer when answers holds it, else fallback; a fault either way otherwise.
    int NextAnswer(const std::vector<int>& answers, int fallback, const std::string& described);

    std::deque<int> answers_;
    std::vector<Box> boxes_;
    std::vector<unsigned> beeps_;
    std::vector<std::string> faults_;
};

// The process-wide presenter: a HeadlessPresenter on stderr until another is set. SetPresenter answers
// the previous one; nullptr restores the headless one. The presenter must outlive its use.
Presenter& GetPresenter();
Presenter* SetPresenter(Presenter* presenter);

// Sets a presenter for the lifetime of the guard.
using ScopedPresenter = ScopedInstall<Presenter, SetPresenter>;

} // namespace ravlo
