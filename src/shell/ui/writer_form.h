#pragma once

#include "framework/ui/broadcast_form.h"
#include "project/eprom_composer.h"
#include "shell/bin_write_model.h"

#include <filesystem>
#include <functional>
#include <optional>

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace ravlo {

// The window "Write file to VOK": a .BIN file, or a block of one byte value, to a board address.
class TfWriter : public TBroadcastForm {
    Q_OBJECT
public:
    // Chooses the file to write; nothing when cancelled. Tests put their own in place of the dialog.
    using FileChooser = std::function<std::optional<std::filesystem::path>(const TFileDialogSpec&)>;

    explicit TfWriter(TBoardMemory& board, QWidget* parent = nullptr);

    const TBinWriteModel& Model() const { return model_; }
    void SetFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }

    QRadioButton& rbEmpty() const { return *rbEmpty_; }
    QRadioButton& rbFull() const { return *rbFull_; }
    QRadioButton& rbUser() const { return *rbUser_; }
    QRadioButton& rbSpecified() const { return *rbSpecified_; }
    QLineEdit& edUserVal() const { return *edUserVal_; }
    QLineEdit& edFileName() const { return *edFileName_; }
    QLineEdit& edLength() const { return *edLength_; }
    QComboBox& cbAddress() const { return *cbAddress_; }
    QPushButton& btWrite() const { return *btWrite_; }

private:
    void SourceClicked(TWriteSource source);
    void btBrowseClick();
    void btWriteClick();
    // The typed texts into the model, and back.
    void TakeTexts();
    void ShowModel();

    TBinWriteModel model_;
    FileChooser chooseFile_;
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
