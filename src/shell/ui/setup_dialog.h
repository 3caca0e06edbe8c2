#pragma once

#include "framework/ui/tr_val_dialog.h"
#include "project/eprom_composer.h"
#include "shell/setup_files.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

class QHBoxLayout;
class QPushButton;

namespace ravlo {

// What the BIOS setup dialogs of both boards share: they edit a copy of the caller's record, which
// gets the edited record only when the dialog closes with "Save to Vok" (modal result OK);
// "Save to Vok" is enabled while the board is connected and the setup allows it; the record can
// be loaded from and saved to its file.
class TSetupDialog : public TTrValDialog {
    Q_OBJECT
public:
    // Chooses a file to load (save false) or to save to; nothing when cancelled. Tests put their
    // own in place of the file dialogs.
    using FileChooser =
        std::function<std::optional<std::filesystem::path>(const TFileDialogSpec&, bool save)>;
    void SetFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }

    TSetupBoard Board() const { return board_; }
    // Whether the board of the record is connected; the main form tells an open dialog.
    void SetConnected(bool connected);

    void LoadFromDisk_ButtonClick();
    void SaveToDisk_ButtonClick();

    QPushButton* SaveToVok_Button;
    QPushButton* Cancel_Button;
    QPushButton* LoadFromDisk_Button;
    QPushButton* SaveToDisk_Button;

protected:
    TSetupDialog(TSetupBoard board, std::string filter, std::string defaultExt, QWidget* parent);

    // The row of the four buttons, for the derived dialog's layout.
    QHBoxLayout* ButtonRow() const { return buttonRow_; }
    // Keeps the record at the start of data as the caller's, into which the edited record is copied
    // on "Save to Vok"; false, reported as an internal error, when data is too short for it.
    bool KeepCallerRecord(std::span<std::uint8_t> data);
    // "Save to Vok" again from the connection and SetupOk().
    void UpdateSaveToVok();

    // The dialog's own condition for "Save to Vok".
    virtual bool SetupOk() const { return true; }
    // A record of the right size read from a file replaces the edited one.
    virtual void LoadRecord(std::span<const std::uint8_t> record) = 0;
    // The record as the controls were last stored into it.
    virtual std::vector<std::uint8_t> StoredRecord() const = 0;

private:
    // The edited record when every control validates (each is then stored); nothing otherwise.
    std::optional<std::vector<std::uint8_t>> EditedRecord();
    TFileDialogSpec FileDialog(bool save) const;

    TSetupBoard board_;
    std::string filter_;
    std::string defaultExt_;
    bool connected_ = false;
    std::span<std::uint8_t> callerRecord_;
    FileChooser chooseFile_;
    QHBoxLayout* buttonRow_;
};

// Shows a setup dialog D over owner that edits rec; "Save to Vok" needs connected. Answers the
// modal result; only OK (1) changes rec.
template <class D>
int ExecSetupDialog(QWidget* owner, std::span<std::uint8_t> rec, bool connected) {
    D dialog(owner);
    dialog.SetConnected(connected);
    dialog.BindRecord(rec);
    return dialog.ShowModal();
}

// Registers "TConfig386_Dialog" and "TConfig188_Dialog" for ExecuteDialog.
void RegisterSetupDialogs();

} // namespace ravlo
