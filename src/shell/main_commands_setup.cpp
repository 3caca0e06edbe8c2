// The main form's BIOS setup command: the setup of the connected board is read and edited in its
// dialog, or a setup file is opened in it while no board is connected.
#include "project/project_globals.h"
#include "project/project_messages.h"
#include "protocol/board_answers.h"
#include "protocol/ma_process.h"
#include "shell/main_form_core.h"
#include "shell/main_form_host.h"

namespace ravlo {

void TRavloMainFormCore::VokSetup_MenuItemClick() {
    if (MAProc == nullptr) {
        return;
    }
    if (MAProc->Connected != kBoardConnected) {
        const std::optional<std::filesystem::path> file = host_.ChooseSetupFile(ProjectDirPath());
        if (!file) {
            return;
        }
        if (std::optional<std::vector<std::uint8_t>> record = ReadSetupFile(*file, std::nullopt)) {
            const TSetupBoard board = *SetupBoardOfSize(record->size());
            EditSetupData(board, std::move(*record));
        }
        return;
    }
    switch (MAProc->Device) {
    case DEV_VokV40:
        ProjectError("VokV40 has no Setup");
        break;
    case DEV_Vok386:
        MAProc->ReadSetup386();
        break;
    case DEV_Vok188:
        if (MAProc->BiosIdText.find("ZQX09") != std::string::npos) {
            ProjectError("ZQX09 has no Setup");
        } else {
            MAProc->ReadSetup188();
        }
        break;
    default:
        ProjectError("Unknown Vok Type!");
        break;
    }
}

void TRavloMainFormCore::EditBoardSetup(TSetupBoard board, std::vector<std::uint8_t> block) {
    if (block.size() < SetupRecordSize(board)) {
        return;
    }
    // Never a modal dialog inside the master's handler: its loop would run the master meanwhile.
    Defer([this, board, block = std::move(block)]() mutable { EditSetupData(board, std::move(block)); });
}

void TRavloMainFormCore::EditSetupData(TSetupBoard board, std::vector<std::uint8_t> data) {
    if (setupOpen_) {
        return; // one setup dialog at a time
    }
    setupOpen_ = board;
    const bool save = host_.EditSetup(board, std::span(data).first(SetupRecordSize(board)), SetupCanSave());
    const bool canSave = SetupCanSave();
    setupOpen_.reset();
    if (!save || MAProc == nullptr) {
        return;
    }
    if (!canSave) {
        // The board went, or another took its place, while the dialog was open.
        ProjectError(std::string("The setup was not written: no ") +
                     (board == TSetupBoard::Vok386 ? "Vok386EXR" : "Vok188ER") + " is connected.");
        return;
    }
    if (board == TSetupBoard::Vok386) {
        MAProc->WriteSetup386(std::move(data));
    } else {
        MAProc->WriteSetup188(std::move(data));
    }
}

bool TRavloMainFormCore::SetupCanSave() const {
    return MAProc != nullptr && MAProc->Connected == kBoardConnected &&
           (!setupOpen_ || MAProc->Device == SetupDevice(*setupOpen_));
}

} // namespace ravlo
