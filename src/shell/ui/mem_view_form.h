#pragma once

#include "framework/ui/broadcast_form.h"
#include "shell/mem_view_model.h"

#include <QPlainTextEdit>

class QLabel;
class QPushButton;

namespace ravlo {

// The "Memory view" window: one 256-byte page of board memory as a hex and character dump, 8 or 16
// bytes a row by the window's width; a user who may write edits it and saves it back to the board.
// The board master creates it when a page it read for no open view arrives.
class TfMemView : public TBroadcastForm {
    Q_OBJECT
public:
    explicit TfMemView(TBoardMemory& board, QWidget* parent = nullptr);

    // As wide as a line of 16 bytes, as high as 16 lines.
    QSize sizeHint() const override;

    // A page read at address; the view keeps it.
    void ShowPage(TSegOfsPtr address, std::vector<std::uint8_t> data);

    const TMemViewModel& Model() const { return model_; }
    QPlainTextEdit& RichEdit() const { return *richEdit_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Render();
    // The caret onto its byte (after every key, click and focus gain).
    void RefreshCursor();
    TMemCaret Caret() const;
    void SetCaret(TMemCaret caret);
    bool KeyPressed(const QKeyEvent& key);
    void FormResize();
    void PlaceHeads();
    void StepPage(int direction);
    void btSaveClick();

    TMemViewModel model_;
    QLabel* lblAbsAddr_;
    QLabel* lblDataH_;
    QLabel* lblDataA_;
    QPlainTextEdit* richEdit_;
    QLabel* lblActPos_;
    QPushButton* btPrev_;
    QPushButton* btNext_;
    QPushButton* btSave_;
};

} // namespace ravlo
