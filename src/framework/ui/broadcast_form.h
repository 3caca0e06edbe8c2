#pragma once

#include "framework/broadcast.h"
#include "platform/message_queue.h"

#include <QWidget>
#include <cstdint>

namespace ravlo {

// What every form of the program is on AppMessageQueue(): a target with a handle of its own.
// wm_Broadcast goes to the form's fan-out; every other message, including the inner message of a
// broadcast, goes to WindowMessage.
class FormWindow : public MessageTarget {
public:
    WindowHandle Handle() const { return registration_.Handle(); }
    std::intptr_t HandleMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) final;

protected:
    FormWindow();
    ~FormWindow() override = default;

    virtual std::uint32_t OnBroadcast(std::uintptr_t wParam, std::intptr_t lParam) = 0;
    // The form's own message handler; answers 0 for what it does not handle.
    virtual std::intptr_t WindowMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam);

    // The inner message of a broadcast as the form's own message.
    std::uint32_t DispatchToSelf(std::uint32_t msg, std::uint32_t wParam, std::uintptr_t lParam);
    // The inner message to every direct child widget that takes messages; their answers ORed.
    static std::uint32_t DispatchToChildWidgets(const QWidget& parent, const TBroadcastMsg& message);

private:
    WindowRegistration registration_;
};

// Base of the MDI child windows that take part in the broadcast.
class TBroadcastForm : public QWidget, public FormWindow, protected BroadcastNode {
    Q_OBJECT
public:
    explicit TBroadcastForm(QWidget* parent = nullptr);

    // Closes the form with its MDI frame (the form alone when it has none), as the frame's own close
    // button does: a form's Close button must not leave an empty frame behind.
    void CloseWindow();

    bool BroadcastToCtrls() const override { return broadcastToCtrls_; }
    void SetBroadcastToCtrls(bool on) { broadcastToCtrls_ = on; }

protected:
    std::uint32_t OnBroadcast(std::uintptr_t wParam, std::intptr_t lParam) override;
    std::uint32_t DispatchInner(std::uint32_t msg, std::uint32_t wParam, std::uintptr_t lParam) override;
    std::uint32_t DispatchToControls(const TBroadcastMsg& message) override;

private:
    bool broadcastToCtrls_ = false;
};

// A control's position and size, in this order.
struct TCtrlBounds {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
};
TCtrlBounds GetCtrlBounds(const QWidget& control);

} // namespace ravlo
