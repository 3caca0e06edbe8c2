#pragma once

#include "framework/ui/broadcast_form.h"
#include "project/eprom_composer.h"
#include "shell/bin_read_model.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ravlo {

// The window "Read files from VOK": a range of board memory into a .BIN file.
class TfReader : public TBroadcastForm {
    Q_OBJECT
public:
    explicit TfReader(TBoardMemory& board, QWidget* parent = nullptr);

private:
    void cbStartAddressExit();
    void edLengthExit(bool finished);
    void btBrowseClick();
    void ShowLengthAndRange();

    TBinReadModel model_;
    // Set while a check runs: the focus its box takes ends no further edit.
    bool checking_ = false;
    QLineEdit* edFileName_;
    QLineEdit* edLength_;
    QLabel* lblLength2_;
    QComboBox* cbStartAddress_;
    QLabel* lblReadRange_;
    QPushButton* btRead_;
};

} // namespace ravlo
