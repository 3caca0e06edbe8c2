#include "project/eprom_composer.h"

#include "framework/app_names.h"
#include "framework/file_paths.h"
#include "framework/message_box.h"
#include "framework/rtdw_ini.h"
#include "platform/presenter.h"
#include "project/eprom_checks.h"
#include "project/eprom_image.h"
#include "project/eprom_ini.h"
#include "project/module_collection.h"
#include "project/project_globals.h"
#include "project/project_messages.h"

#include <system_error>

namespace ravlo {
namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kUserBinAddr = 0xC8000;
constexpr std::size_t kListFileWidth = 22;
constexpr std::string_view kCreatedEvent = "- Image (E)EPROM binary file(s) were correctly created";
constexpr std::uint8_t kSuccessEventKind = 4;

class DetachedHost final : public TEpromImgHost {
public:
    std::optional<TVokKind> ConnectedBoardKind() const override { return std::nullopt; }
    void SetEpromImageOk(bool) override {}
    void AddEvent(std::string_view, std::uint8_t) override {}
    bool EpromImageFromCmdLine() const override { return false; }
};

// A size that the list offers stays; any other becomes 256 KB.
int KeepListedSize(std::span<const std::string_view> items, int sizeKb) {
    return SizeTextIn(items, sizeKb) ? sizeKb : 256;
}

} // namespace

TEpromImgHost& DetachedEpromImgHost() {
    static DetachedHost host;
    return host;
}

TEpromImgComposer::TEpromImgComposer(TEpromImgHost& host) : host_(host), iniFile_(GetRtdwIniName()) {}

void TEpromImgComposer::Open() {
    // The settings go back where they came from, whatever project is open when the window closes.
    iniFile_ = GetRtdwIniName();
    const TEpromImgIniData data = LoadEpromImgSettings(iniFile_);
    SelectBoardKind(data.Kind);
    for (const tRomModule& module : data.Modules) {
        list_.Insert(std::make_unique<tRomModule>(module));
    }
    chips_.HiKb = KeepListedSize(HiSizeItems(), data.HiKb);
    if (HasTwoChips(chips_.Kind)) {
        chips_.LoKb = KeepListedSize(LoSizeItems(), data.LoKb);
    }
    hiFileName_ = data.HiFileName;
    loFileName_ = data.LoFileName;
    if (const std::optional<TVokKind> board = host_.ConnectedBoardKind(); board && IsKnownVokKind(*board)) {
        SelectBoardKind(*board);
    }
    RefreshRomList();
}

bool TEpromImgComposer::Close() {
    TEpromImgIniData data{chips_.Kind, {}, chips_.HiKb, chips_.LoKb, hiFileName_, loFileName_};
    list_.ForEach([&](const tRomModule& module) { data.Modules.push_back(module); });
    if (!SaveEpromImgSettings(data, iniFile_)) {
        ProjectError("Could not write " + PathText(iniFile_));
        return false;
    }
    return true;
}

void TEpromImgComposer::LoadProjectModules(tModuleCollection& modules) {
    for (std::int32_t i = list_.Count() - 1; i >= 0; --i) {
        if (list_.At(i)->Type == TRomModuleType::Application) {
            list_.AtDelete(i);
        }
    }
    for (auto rom = modules.FindFirstRomModule(); rom; rom = modules.FindNextRomModule()) {
        tRomModule entry{rom->Name, std::uint32_t{rom->Segment} * 16, rom->Size, TRomModuleType::Application,
                         rom->Name + ".BIN"};
        entry.Clip();
        list_.Insert(std::make_unique<tRomModule>(std::move(entry)));
    }
    RefreshRomList();
}

void TEpromImgComposer::RefreshRomList() {
    rows_.clear();
    list_.ForEach([&](const tRomModule& m) {
        TRomListRow row{
            m.Name,  std::string(RomModuleTypeName(m.Type)), AddrText(m.Addr), AddrText(m.EndAddr()), "  Err",
            "  Err", ShortenPath(m.File, kListFileWidth)};
        if (const std::optional<TEpromPlace> place = EpromRunPlace(chips_, m.Addr, m.Size)) {
            row.OffsetStart = AddrText(place->Offset);
            row.OffsetEnd = AddrText(place->Offset + (m.EndAddr() - m.Addr));
        }
        rows_.push_back(std::move(row));
    });
    finding_ = CheckEpromComposition(list_, chips_);
}

bool TEpromImgComposer::CreateImage() {
    host_.SetEpromImageOk(false);
    RefreshRomList();
    std::string error = finding_;
    if (error.empty()) {
        const TEpromComposition composition = ComposeEpromImages(list_, chips_);
        error = composition.Error.empty()
                    ? WriteEpromImageFiles(composition.Images, ResolveProjectFile(hiFileName_),
                                           ResolveProjectFile(loFileName_))
                    : composition.Error;
    }
    if (!error.empty()) {
        ProjectError(error);
        return false;
    }
    host_.SetEpromImageOk(true);
    host_.AddEvent(kCreatedEvent, kSuccessEventKind);
    if (!host_.EpromImageFromCmdLine()) {
        ProjectInformation("Image (E)EPROM binary file(s) were correctly created.");
    }
    return true;
}

void TEpromImgComposer::SelectBoardKind(TVokKind kind) {
    chips_.Kind = kind;
    if (!HasTwoChips(kind)) {
        chips_.LoKb = 0;
    }
    if (IsKnownVokKind(kind)) {
        hiFileName_ = kind == TVokKind::VokV40 ? "EPROM.BIN" : "EPROM_HI.BIN";
    }
    chips_.HiKb = KeepListedSize(HiSizeItems(), chips_.HiKb);
    if (HasTwoChips(kind)) {
        chips_.LoKb = KeepListedSize(LoSizeItems(), chips_.LoKb);
    }
    RefreshRomList();
}

void TEpromImgComposer::SelectHiSizeText(std::string_view text) {
    chips_.HiKb = HiSizeOfText(text).value_or(chips_.HiKb);
    RefreshRomList();
}

void TEpromImgComposer::SelectLoSizeText(std::string_view text) {
    chips_.LoKb = LoSizeOfText(text).value_or(chips_.LoKb);
    RefreshRomList();
}

TFileDialogSpec TEpromImgComposer::BiosDialog() const {
    return {"Add BIOS", "Binary files (.bin)|*.BIN|All files|*.*", "BIN", {}, {}};
}

std::optional<TFileDialogSpec> TEpromImgComposer::BiosSetupDialog() const {
    switch (chips_.Kind) {
    case TVokKind::VokV40:
        ProjectError("VokV40 has no Setup");
        return std::nullopt;
    case TVokKind::Vok386EXR:
        return TFileDialogSpec{"Add BIOS Setup for Vok386EXR",
                               "Setup Vok386 files (.c38)|*.C38|Binary files (.bin)|*.BIN|Setup Vok188 files "
                               "(.c18)|*.C18|All files |*.*",
                               "C38",
                               ProjectDirPath(),
                               {}};
    case TVokKind::Vok188ER:
        return TFileDialogSpec{"Add BIOS Setup for Vok188ER",
                               "Setup Vok188 files (.c18)|*.C18|Binary files (.bin)|*.BIN|Setup Vok386 files "
                               "(.c38)|*.C38|All files |*.*",
                               "C18",
                               ProjectDirPath(),
                               {}};
    }
    return std::nullopt;
}

TFileDialogSpec TEpromImgComposer::UserBinDialog() const {
    return {"Add User .BIN", "Binary files (*.bin)|*.BIN", "BIN", ProjectDirPath(), {}};
}

TFileDialogSpec TEpromImgComposer::ImageFileDialog(std::string_view current) const {
    return {"(E)EPROM image file", "Binary files (*.bin)|*.BIN|All files|*.*", "BIN", ProjectDirPath(),
            std::string(current)};
}

std::optional<tRomModule> TEpromImgComposer::EntryOfFile(const fs::path& file, TRomModuleType type) const {
    std::error_code error;
    const std::uintmax_t size = fs::is_regular_file(file, error) ? fs::file_size(file, error) : UINTMAX_MAX;
    if (error || size > UINT32_MAX) {
        ProjectError(FileMissingText(file));
        return std::nullopt;
    }
    tRomModule entry{RomModuleNameOfFile(file), 0, static_cast<std::uint32_t>(size), type,
                     ProjectRelativeName(file)};
    entry.Clip();
    return entry;
}

void TEpromImgComposer::InsertEntry(tRomModule entry) {
    list_.Insert(std::make_unique<tRomModule>(std::move(entry)));
    list_.Changed = true;
    RefreshRomList();
}

void TEpromImgComposer::ReplaceEntry(tRomModule entry) {
    const TRomModuleType type = entry.Type;
    list_.Remove(list_.FirstThat([type](const tRomModule& m) { return m.Type == type; }));
    InsertEntry(std::move(entry));
}

bool TEpromImgComposer::AddBios(const fs::path& file) {
    const std::optional<TBoardRomLayout> layout = BoardRomLayout(chips_.Kind);
    if (!layout) {
        return false;
    }
    if (const std::string finding = BiosFileCheck(chips_.Kind, file); !finding.empty()) {
        ProjectError(finding);
        return false;
    }
    std::optional<tRomModule> entry = EntryOfFile(file, TRomModuleType::Bios);
    if (!entry) {
        return false;
    }
    entry->Addr = layout->BiosAddr;
    ReplaceEntry(std::move(*entry));
    return true;
}

bool TEpromImgComposer::AddBiosSetup(const fs::path& file) {
    const std::optional<TBoardRomLayout> layout = BoardRomLayout(chips_.Kind);
    if (!layout || layout->SetupAddr == 0) {
        ProjectError("VokV40 has no Setup");
        return false;
    }
    std::optional<tRomModule> entry = EntryOfFile(file, TRomModuleType::BiosSetup);
    if (!entry) {
        return false;
    }
    if (entry->Size != layout->SetupSize) {
        const std::string board = chips_.Kind == TVokKind::Vok386EXR ? "Vok386" : "Vok188";
        ProjectError("Setup for " + board + " must be " + std::to_string(layout->SetupSize) +
                     " bytes large!");
        return false;
    }
    entry->Addr = layout->SetupAddr;
    ReplaceEntry(std::move(*entry));
    return true;
}

bool TEpromImgComposer::AddUserBin(const fs::path& file, const TAddressAsker& askAddress) {
    std::optional<tRomModule> entry = EntryOfFile(file, TRomModuleType::UserBin);
    if (!entry) {
        return false;
    }
    entry->Addr = kUserBinAddr;
    TSegOfsPtr address = LinToFarPtr(entry->Addr);
    // A cancelled address keeps the proposed one: the entry is added in any case.
    if (askAddress && askAddress("Enter address of " + entry->Name, address)) {
        entry->Addr = FarPtrToLin(address);
    }
    InsertEntry(std::move(*entry));
    return true;
}

std::int32_t TEpromImgComposer::EditModule(std::int32_t index, const TAddressAsker& askAddress) {
    const tRomModule* module = list_.At(index);
    if (module == nullptr) {
        ProjectWarning("Select module before editate.");
        return -1;
    }
    if (module->Type != TRomModuleType::UserBin) {
        GetPresenter().Beep(MB_OK);
        return -1;
    }
    TSegOfsPtr address = LinToFarPtr(module->Addr);
    if (!askAddress || !askAddress("Enter address of " + module->Name, address)) {
        return index;
    }
    // The entry moves to the place of its new address.
    std::unique_ptr<tRomModule> moved = list_.AtDelete(index);
    moved->Addr = FarPtrToLin(address);
    const tRomModule* kept = moved.get();
    list_.Insert(std::move(moved));
    list_.Changed = true;
    RefreshRomList();
    return list_.IndexOf(kept);
}

std::int32_t TEpromImgComposer::DeleteModule(std::int32_t index) {
    const tRomModule* module = list_.At(index);
    if (module == nullptr) {
        ProjectWarning("Select module before Delete.");
        return -1;
    }
    if (module->Type == TRomModuleType::Application) {
        ProjectError("Application modules cannot be deleted!");
        return -1;
    }
    if (TrMessageBox("Confirm", "Delete module: \"" + module->Name + "\" ?", MB_YESNO | MB_ICONQUESTION) !=
        IDYES) {
        return -1;
    }
    list_.AtDelete(index);
    list_.Changed = true;
    RefreshRomList();
    return std::min(index, list_.Count() - 1);
}

std::string TEpromImgComposer::StatusText() const {
    return finding_.empty() ? "Status: Ok" : "Error: " + finding_;
}

std::string TEpromImgComposer::WorkDirectoryText() const {
    return PathText(ProjectDir) + "      ";
}

std::string TEpromImgComposer::HiLabel() const {
    return HasTwoChips(chips_.Kind) ? "(E)EPROM HI:" : "(E)EPROM:";
}

TEpromRunResult RunEpromImageUnattended(TEpromImgComposer& composer, TEpromImgHost& host) {
    // Cleared here too: a composition that is never written must not leave the flag of a success.
    host.SetEpromImageOk(false);
    composer.RefreshRomList();
    if (!composer.CanCreate()) {
        return TEpromRunResult::CheckFailed;
    }
    return composer.CreateImage() ? TEpromRunResult::Created : TEpromRunResult::WriteFailed;
}

} // namespace ravlo
