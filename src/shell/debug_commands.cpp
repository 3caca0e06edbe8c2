#include "shell/debug_commands.h"

#include "framework/message_box.h"
#include "framework/number_text.h"
#include "project/project_globals.h"
#include "protocol/ma_process.h"
#include "shell/main_form_host.h"
#include "shell/tool_board.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace ravlo {
namespace {

using A = TMainAction;

constexpr std::uint32_t kAddressSpace = kBoardAddressMax + 1;
constexpr std::uint32_t kParagraph = 16;
constexpr std::uint32_t kLoadS256 = 256;
constexpr std::uint16_t kRemainMax = 512;

} // namespace

bool TDebugCommands::Handles(TMainAction action) {
    switch (action) {
    case A::Read:
    case A::DbgEmpty:
    case A::DbgCheckSum:
    case A::DbgMem:
    case A::DbgRun:
    case A::DbgGo:
    case A::DbgLoadS256:
    case A::DbgLoadSRemain:
        return true;
    default:
        return false;
    }
}

std::vector<std::uint8_t> TDebugCommands::LoadPattern(std::size_t count) {
    std::vector<std::uint8_t> bytes(count);
    for (std::size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<std::uint8_t>(i);
    }
    return bytes;
}

std::filesystem::path TDebugCommands::ReadFolder() {
    if (ProjectType != TProjectType::None) {
        return ProjectDirPath();
    }
    const char* home = std::getenv("HOME");
    return home != nullptr && *home != '\0' ? std::filesystem::path(home) : std::filesystem::path(".");
}

void TDebugCommands::Execute(TMainAction action, TRavlo_MA_Process* master) {
    if (master == nullptr || !Handles(action) || !ToolBoardReady(TMaToolBoard(master))) {
        return;
    }
    switch (action) {
    case A::Read:
        Read(*master);
        break;
    case A::DbgEmpty:
        EmptyFrame(*master);
        break;
    case A::DbgCheckSum:
        CheckSum(*master);
        break;
    case A::DbgMem:
        if (const auto address = Address("Mem address: ", memAddress_)) {
            master->ReadMemPage(*address, kNoWindow);
        }
        break;
    case A::DbgRun:
        if (const auto address = Address("Run address: ", runAddress_)) {
            master->RunApp(*address);
        }
        break;
    case A::DbgGo:
        if (const auto address = Address("Go address: ", goAddress_)) {
            master->GoAddr(*address);
        }
        break;
    case A::DbgLoadS256:
        LoadS256(*master);
        break;
    default:
        LoadSRemain(*master);
        break;
    }
}

std::optional<TSegOfsPtr> TDebugCommands::Address(std::string_view caption, TSegOfsPtr& kept) {
    TSegOfsPtr address = kept;
    if (!host_.AskAddress(caption, address)) {
        return std::nullopt;
    }
    kept = address;
    return address;
}

template <class T>
bool TDebugCommands::Number(std::string_view label, std::string_view unit, std::uint32_t min,
                            std::uint32_t max, T& kept) {
    std::uint32_t value = std::clamp<std::uint32_t>(kept, min, max);
    if (!host_.AskParameter(label, unit, sizeof(T), min, max, value)) {
        return false;
    }
    // The dialog keeps to the limits; an answer from elsewhere is held to them as well.
    if (value < min || value > max) {
        BeepShowMessage("Value out of range!");
        return false;
    }
    kept = static_cast<T>(value);
    return true;
}

// As the binary read window checks them: a start within the 1 MB and a length that stays in it.
void TDebugCommands::Read(TRavlo_MA_Process& master) {
    TSegOfsPtr address = readAddress_;
    if (!host_.AskAddress("Starting read address: ", address)) {
        return;
    }
    const std::uint32_t start = FarPtrToLin(address);
    if (start > kBoardAddressMax) {
        BeepShowMessage("Incorrect address!");
        return;
    }
    readAddress_ = address;
    std::uint32_t length = std::clamp<std::uint32_t>(readLength_, 1, kAddressSpace - start);
    if (!host_.AskParameter("Desired size (length):", "bytes", sizeof length, 1, kAddressSpace - start,
                            length)) {
        return;
    }
    if (length < 1 || length > kAddressSpace - start) {
        BeepShowMessage("Incorrect Len size!");
        return;
    }
    readLength_ = length;
    const std::optional<std::filesystem::path> file =
        host_.ChooseSaveFile({"Reading memory block", "Binary files|*.bin|All files|*", "bin", ReadFolder(),
                              "MEM_" + LinToStr(start).substr(1) + ".BIN"});
    if (file) {
        // The file is replaced only once every byte has come.
        master.ReadMemBlock(address, length, *file, TReadFileMode::Replace);
    }
}

void TDebugCommands::EmptyFrame(TRavlo_MA_Process& master) {
    if (Number("Empt mess:", "type", ft_Mem, ft_Empt188, frameType_)) {
        master.SendDebugFrame(frameType_);
    }
}

void TDebugCommands::CheckSum(TRavlo_MA_Process& master) {
    if (!Number("Checksum segment:", "segment", 0, 0xFFFF, checkSegment_)) {
        return;
    }
    // The paragraphs stay within the 1 MB from segment:0000.
    const std::uint32_t most = std::min<std::uint32_t>(0xFFFF, kAddressSpace / kParagraph - checkSegment_);
    if (Number("Checksum len:", "paragraphs", 1, most, checkParagraphs_)) {
        master.CheckSumBlock(checkSegment_, checkParagraphs_);
    }
}

void TDebugCommands::LoadS256(TRavlo_MA_Process& master) {
    const std::optional<TSegOfsPtr> address = Address("LoadS256 address: ", loadAddress_);
    if (!address || !master.LoadDebugBlock(*address, LoadPattern(kLoadS256), "LoadS256")) {
        return;
    }
    const std::uint32_t lin = FarPtrToLin(*address);
    lastLoad_ = lin;
    // The next block is offered next.
    if (lin + 2 * kLoadS256 <= kAddressSpace) {
        loadAddress_ = LinToFarPtr(lin + kLoadS256);
    }
}

void TDebugCommands::LoadSRemain(TRavlo_MA_Process& master) {
    if (!lastLoad_) {
        BeepShowMessage("At first send a LoadS256 block.");
        return;
    }
    if (Number("LoadSRemain: ", "bytes", 1, kRemainMax, remainLength_)) {
        master.LoadDebugBlock(LinToFarPtr(*lastLoad_ + kLoadS256), LoadPattern(remainLength_), "LoadSRemain");
    }
}

} // namespace ravlo
