#pragma once

#include "project/project_globals.h"
#include "shell/main_actions.h"

#include <array>
#include <cstdint>

namespace ravlo {

// What the menu states depend on.
struct TMenuInputs {
    TProjectType ProjectType = TProjectType::None;
    bool MemFileOK = false;
    bool BinFilesOK = false;
    // The board master process: Connected 0 not connected, 1 changing the baud rate, 2 connected;
    // Device 0 none recognised, 1 V40, 2 386, 3 188.
    std::uint8_t Connected = 0;
    std::uint8_t Device = 0;
    std::uint8_t UserLevel = 0;
    // The users store loaded without error; otherwise the Users menu is hidden.
    bool UsersLoaded = false;
    // Open views, shown as checked items of the Window menu.
    bool MAViewOpen = false;
    bool CommViewOpen = false;
    bool ErrHistoryOpen = false;
    bool SysWriterOpen = false;
};

struct TActionState {
    bool Enabled = true;
    bool Visible = true;
    bool Checked = false;
};

struct TMenuStates {
    std::array<TActionState, kMainActionCount> Actions{};
    // UserLevel >= 2; other windows read it.
    bool HighAccess = false;
    // What an open BIOS setup dialog is told: the board is connected.
    bool SetupConnected = false;

    const TActionState& operator[](TMainAction action) const { return Actions[ActionIndex(action)]; }
};

// The state of every action. Each has its own rule; an item is besides enabled and visible only
// while its menu is. Tool buttons take the state of their action.
TMenuStates ComputeMenuStates(const TMenuInputs& inputs);

// The project part of the inputs from the project globals; the rest as given.
TMenuInputs MenuInputsFromProject(TMenuInputs inputs);

} // namespace ravlo
