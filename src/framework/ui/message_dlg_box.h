#pragma once

#include "framework/message_box.h"

#include <QMessageBox>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace ravlo {

// The program's message box: plain text (a table of blank-aligned columns in a fixed-pitch font;
// "&&" shows as "&"), buttons of every kind of TMsgDlgBtn, each named after MsgDlgButtonNames, all
// of them inside the box (in rows where one row would not fit on the screen), at least as wide as
// its title needs, and placed as asked once its size is known.
class MessageDlgBox final : public QMessageBox {
public:
    MessageDlgBox(MessageBoxKind kind, std::string_view caption, std::string_view text, QWidget* owner,
                  MessageBoxPlacement placement);

    // Adds the buttons in order; defaultButton becomes the default and the active control when it
    // is one of them and closes the box (else the first that does), Escape presses MsgDlgEscape's.
    // Help asks for help, and the program has none: it beeps and the box stays open.
    void SetButtons(const std::vector<TMsgDlgBtn>& buttons, TMsgDlgBtn defaultButton);
    // The ID* of the button that closed the box.
    int Answer() const;
    QAbstractButton* Button(TMsgDlgBtn kind) const;

protected:
    void showEvent(QShowEvent* event) override;
    // The box sizes itself again when its layout asks for it: the buttons stay inside.
    bool event(QEvent* event) override;
    // Without an escape button the user has to choose: Escape and the close button do nothing.
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The widest the box may be: its screen's width less room for the window frame.
    int WidthLimit() const;
    // A row of buttons wider than the box may be is laid out in rows, as many buttons in each as
    // fit.
    void WrapButtons();
    // The box made as wide as its buttons need (it never is wider than WidthLimit).
    void FitButtons();
    void Place();

    MessageBoxPlacement placement_;
    TMsgDlgBtn default_ = TMsgDlgBtn::mbOK;
    std::optional<TMsgDlgBtn> escape_;
    std::vector<std::pair<TMsgDlgBtn, QAbstractButton*>> buttons_;
    // The rows the buttons were wrapped into, once they were.
    QWidget* buttonRows_ = nullptr;
};

} // namespace ravlo
