#pragma once

#include "framework/ui/broadcast_form.h"
#include "shell/event_log.h"

#include <cstdint>
#include <string_view>

class QTextEdit;

namespace ravlo {

class TTrMainForm;

// The "Event Log" window: a read-only coloured line log at the bottom of the MDI area, where the
// shell and the board operations report what happened.
class TFormEventLog : public TBroadcastForm {
    Q_OBJECT
public:
    static constexpr int kInitialHeight = 100;

    explicit TFormEventLog(QWidget* parent = nullptr);

    // Shows a new event form as an MDI child of main, framed as a tool window without buttons, laid
    // out at the bottom; answers it.
    static TFormEventLog* ShowIn(TTrMainForm& main);

    // Appends text (code page 1250) in the colour of kind, only while the window is visible.
    void AddEvent(std::string_view text, std::uint8_t kind);
    // Puts the window at the bottom of its MDI area, as wide as the area; the main form calls it
    // when it was resized.
    void LayOut();

    const TEventLogModel& Model() const { return model_; }
    QTextEdit& RichEditEvLog() const { return *edit_; }

private:
    void ShowLine(const TEventLine& line, bool droppedOldest);

    TEventLogModel model_;
    QTextEdit* edit_;
};

} // namespace ravlo
