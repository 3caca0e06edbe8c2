#include "shell/menu_state.h"

namespace ravlo {
namespace {

using A = TMainAction;

constexpr std::uint8_t kConnected = 2;
constexpr std::uint8_t kDeviceV40 = 1;
constexpr std::uint8_t kLevelRead = 1;
constexpr std::uint8_t kLevelWrite = 2;
constexpr std::uint8_t kLevelDebug = 254;

// The action's own rule, before its menu is considered.
bool OwnEnabled(A action, const TMenuInputs& in) {
    const bool project = in.ProjectType != TProjectType::None;
    const bool full = in.ProjectType == TProjectType::Full;
    const bool connected = in.Connected == kConnected;
    switch (action) {
    case A::ReOpen:
    case A::Place:
        return project;
    case A::Generate:
    case A::FindErr:
        return full;
    case A::CrEpromImg:
        return project && in.MemFileOK && in.BinFilesOK;
    case A::Download:
        return connected && in.Device != 0;
    case A::DownloadApp:
    case A::RunApp:
    case A::GenLoadRun:
        return project;
    case A::WriteBin:
        return in.UserLevel >= kLevelWrite;
    case A::ReadBin:
    case A::MemView:
        return in.UserLevel >= kLevelRead;
    case A::BIOSInfo:
    case A::GO:
    case A::RUN:
    case A::Debug:
        return connected;
    case A::RTC:
        return connected && in.Device != kDeviceV40;
    case A::CheckSum:
        return false;
    case A::UsersMenu:
        return in.UsersLoaded;
    case A::UserLogout:
    case A::UsersDefine:
        return in.UserLevel > 0;
    case A::ProgramDebug:
        return in.UserLevel >= kLevelDebug;
    default:
        return true;
    }
}

bool OwnVisible(A action, const TMenuInputs& in) {
    switch (action) {
    case A::UsersMenu:
        return in.UsersLoaded;
    case A::ProgramDebug:
        return in.UserLevel >= kLevelDebug;
    default:
        return true;
    }
}

bool Checked(A action, const TMenuInputs& in) {
    switch (action) {
    case A::MAView:
        return in.MAViewOpen;
    case A::CommView:
        return in.CommViewOpen;
    case A::ErrHistory:
        return in.ErrHistoryOpen;
    case A::SysWriter:
        return in.SysWriterOpen;
    default:
        return false;
    }
}

} // namespace

TMenuStates ComputeMenuStates(const TMenuInputs& inputs) {
    TMenuStates states;
    // A menu comes before its items, so its final state is known when they are reached.
    for (const TMainActionInfo& info : MainActions()) {
        TActionState& state = states.Actions[ActionIndex(info.Id)];
        state.Enabled = OwnEnabled(info.Id, inputs);
        state.Visible = OwnVisible(info.Id, inputs);
        state.Checked = Checked(info.Id, inputs);
        if (info.Parent != info.Id) {
            const TActionState& menu = states[info.Parent];
            state.Enabled = state.Enabled && menu.Enabled;
            state.Visible = state.Visible && menu.Visible;
        }
    }
    states.HighAccess = inputs.UserLevel >= kLevelWrite;
    states.SetupConnected = inputs.Connected == kConnected;
    return states;
}

TMenuInputs MenuInputsFromProject(TMenuInputs inputs) {
    inputs.ProjectType = ProjectType;
    inputs.MemFileOK = MemFileOK;
    inputs.BinFilesOK = BinFilesOK;
    return inputs;
}

} // namespace ravlo
