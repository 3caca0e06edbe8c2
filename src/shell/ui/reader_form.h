#pragma once

#include "framework/ui/broadcast_form.h"
#include "project/eprom_composer.h"
#include "shell/bin_read_model.h"

#include <filesystem>
#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ravlo {

// The window "Read files from VOK": a range of board memory into a .BIN file.
class TfReader : public TBroadcastForm {
    Q_OBJECT
public:
    // Chooses the file to save to; nothing when cancelled. Tests put their own in place of the dialog.
    using FileChooser = std::function<std::optional<std::filesystem::path>(const TFileDialogSpec&)>;

    explicit TfReader(TBoardMemory& board, QWidget* parent = nullptr);

    const TBinReadModel& Model() const { return model_; }
    void SetFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }

    QLineEdit& edFileName() const { return *edFileName_; }
    QLineEdit& edLength() const { return *edLength_; }
    QLabel& lblLength2() const { return *lblLength2_; }
    QComboBox& cbStartAddress() const { return *cbStartAddress_; }
    QLabel& lblReadRange() const { return *lblReadRange_; }
    QPushButton& btRead() const { return *btRead_; }

private:
    void cbStartAddressExit();
    void edLengthExit(bool finished);
    void btBrowseClick();
    void ShowLengthAndRange();

    TBinReadModel model_;
    FileChooser chooseFile_;
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
