#pragma once

#include "framework/message_box.h"

#include <QMessageBox>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace ravlo {

// The program's message box: plain text (a table of blank-aligned columns in a fixed-pitch font),
// buttons of every kind of TMsgDlgBtn, each named after MsgDlgButtonNames, at least as wide as its
// title needs, and placed as asked once its size is known.
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
    // Without an escape button the user has to choose: Escape and the close button do nothing.
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Place();

    MessageBoxPlacement placement_;
    TMsgDlgBtn default_ = TMsgDlgBtn::mbOK;
    std::optional<TMsgDlgBtn> escape_;
    std::vector<std::pair<TMsgDlgBtn, QAbstractButton*>> buttons_;
};

} // namespace ravlo
