#pragma once

#include "framework/ui/broadcast_form.h"
#include "project/eprom_composer.h"
#include "shell/bin_write_model.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace ravlo {

// The window "Write file to VOK": a .BIN file, or a block of one byte value, to a board address.
class TfWriter : public TBroadcastForm {
    Q_OBJECT
public:
    explicit TfWriter(TBoardMemory& board, QWidget* parent = nullptr);

private:
    void SourceClicked(TWriteSource source);
    void btBrowseClick();
    void btWriteClick();
    // The typed texts into the model, and back.
    void TakeTexts();
    void ShowModel();

    TBinWriteModel model_;
    QRadioButton* rbEmpty_;
    QRadioButton* rbFull_;
    QRadioButton* rbUser_;
    QRadioButton* rbSpecified_;
    QLineEdit* edUserVal_;
    QLineEdit* edFileName_;
    QPushButton* btBrowse_;
    QLineEdit* edLength_;
    QComboBox* cbAddress_;
    QPushButton* btWrite_;
};

} // namespace ravlo
