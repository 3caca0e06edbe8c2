#pragma once

#include "platform/message_queue.h"
#include "shell/vok_rtc.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QSpinBox;
class QTimer;

namespace ravlo {

class TToolBoard;

// The modal dialog "Real Time Clock Settings": a view of a TVokRTC. It asks for the board's clock
// when it opens; the master's answers arrive as window messages while it is open.
class TFormVokRTC : public QDialog, public MessageTarget {
    Q_OBJECT
public:
    explicit TFormVokRTC(TToolBoard& board, QWidget* parent = nullptr);

    TVokRTC& Model() { return model_; }
    WindowHandle Handle() const { return registration_.Handle(); }
    std::intptr_t HandleMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) override;

private:
    void BuildControls();
    void ShowPCTime();
    void ShowVokTime();
    void ShowStatus();
    void RTCTimerTimer();

    WindowRegistration registration_;
    TVokRTC model_;
    QTimer* rtcTimer_ = nullptr;
    QLineEdit* edPCHour_ = nullptr;
    QLineEdit* edPCMin_ = nullptr;
    QLineEdit* edPCSec_ = nullptr;
    QLineEdit* edPCDay_ = nullptr;
    QLineEdit* edPCMonth_ = nullptr;
    QLineEdit* edPCYear_ = nullptr;
    QSpinBox* spEdHour_ = nullptr;
    QSpinBox* spEdMin_ = nullptr;
    QSpinBox* spEdSec_ = nullptr;
    QSpinBox* spEdDay_ = nullptr;
    QSpinBox* spEdMonth_ = nullptr;
    QSpinBox* spEdYear_ = nullptr;
    QLabel* stWaitForRd_ = nullptr;
    QLabel* stStatus_ = nullptr;
};

// Shows the clock dialog modal over the active window.
void ShowVokRTC(TToolBoard& board, QWidget* parent);

} // namespace ravlo
