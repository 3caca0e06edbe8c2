#pragma once

#include "framework/board_address.h"
#include "project/eprom_layout.h"
#include "project/eprom_module.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ravlo {

class tModuleCollection;

// What the image window needs of the main form and the board master process; the main form
// implements it.
class TEpromImgHost {
public:
    virtual ~TEpromImgHost() = default;
    // The kind of the connected board (connected and its device 1-3); nothing otherwise.
    virtual std::optional<TVokKind> ConnectedBoardKind() const = 0;
    // The main form's step flag of the image.
    virtual void SetEpromImageOk(bool ok) = 0;
    // A line for the event log with its colour kind.
    virtual void AddEvent(std::string_view text, std::uint8_t kind) = 0;
    // The command line asked for the image (/E): no questions, no success box.
    virtual bool EpromImageFromCmdLine() const = 0;
};

// A host without a main form: no board, no event log.
TEpromImgHost& DetachedEpromImgHost();

// Asks for an address with a caption; false when the user cancelled (address unchanged).
using TAddressAsker = std::function<bool(std::string_view caption, TSegOfsPtr& address)>;

// What a file dialog of the window shows. Filter is "text|pattern|text|pattern...".
struct TFileDialogSpec {
    std::string Title;
    std::string Filter;
    std::string DefaultExt;
    std::filesystem::path InitialDir;
    std::string FileName;
};

// One row of the list view.
struct TRomListRow {
    std::string Name;
    std::string TypeName;
    std::string Start;
    std::string End;
    std::string OffsetStart; // "  Err" when not placeable
    std::string OffsetEnd;
    std::string File; // shortened to 22 characters
};

// The composition window without its widgets: the list, the board kind, the chip sizes, the image
// file names, and every command of the window. Message boxes go through the presenter.
class TEpromImgComposer {
public:
    explicit TEpromImgComposer(TEpromImgHost& host = DetachedEpromImgHost());

    // Opening: reads the settings of the open project's "RTDW.INI", then takes the connected board's
    // kind; refreshes.
    void Open();
    // Closing: writes the settings into the file they were read from; false after an error box when
    // it could not be written.
    bool Close();

    // Replaces the application entries by one per ROM module of the design.
    void LoadProjectModules(tModuleCollection& modules);
    // Recomputes the rows and runs the composition check.
    void RefreshRomList();
    // Writes the image files when the check passes; true on success.
    bool CreateImage();

    void SelectBoardKind(TVokKind kind);
    // From the size lists; a text of no size leaves the size as it is.
    void SelectHiSizeText(std::string_view text);
    void SelectLoSizeText(std::string_view text);
    void SetHiFileName(std::string name) { hiFileName_ = std::move(name); }
    void SetLoFileName(std::string name) { loFileName_ = std::move(name); }

    TFileDialogSpec BiosDialog() const;
    // Nothing after a message when the board has no setup record.
    std::optional<TFileDialogSpec> BiosSetupDialog() const;
    TFileDialogSpec UserBinDialog() const;
    TFileDialogSpec ImageFileDialog(std::string_view current) const;

    // The commands with a chosen file; false when nothing was added (the reason was shown).
    bool AddBios(const std::filesystem::path& file);
    bool AddBiosSetup(const std::filesystem::path& file);
    bool AddUserBin(const std::filesystem::path& file, const TAddressAsker& askAddress);
    // The index of the entry afterwards (it moves with its address); -1 when nothing was edited.
    std::int32_t EditModule(std::int32_t index, const TAddressAsker& askAddress);
    // The index to select afterwards; -1 when nothing was deleted.
    std::int32_t DeleteModule(std::int32_t index);

    TVokKind Kind() const { return chips_.Kind; }
    const TEpromChips& Chips() const { return chips_; }
    const std::string& HiFileName() const { return hiFileName_; }
    const std::string& LoFileName() const { return loFileName_; }
    const tRomModuleList& List() const { return list_; }
    const std::vector<TRomListRow>& Rows() const { return rows_; }
    // Empty while the check passes.
    const std::string& Finding() const { return finding_; }
    bool CanCreate() const { return finding_.empty(); }
    // "Status: Ok" or "Error: " + the finding.
    std::string StatusText() const;
    // ProjectDir and six blanks.
    std::string WorkDirectoryText() const;
    std::string HiLabel() const;
    bool SetupEnabled() const { return chips_.Kind != TVokKind::VokV40; }
    std::span<const std::string_view> HiSizeItems() const { return HiSizeTexts(chips_.Kind); }
    std::span<const std::string_view> LoSizeItems() const { return LoSizeTexts(chips_.Kind); }

private:
    // Puts a new BIOS or setup entry in place of the one of its type.
    void ReplaceEntry(tRomModule entry);
    void InsertEntry(tRomModule entry);
    // An entry for a chosen file; nothing after a message when it cannot be read.
    std::optional<tRomModule> EntryOfFile(const std::filesystem::path& file, TRomModuleType type) const;

    TEpromImgHost& host_;
    std::filesystem::path iniFile_;
    tRomModuleList list_;
    TEpromChips chips_{TVokKind::VokV40, 256, 256};
    std::string hiFileName_ = "EPROM_HI.BIN";
    std::string loFileName_ = "EPROM_LO.BIN";
    std::vector<TRomListRow> rows_;
    std::string finding_ = "No modules defined!";
};

// How the unattended image run (/E) ended.
enum class TEpromRunResult {
    Created,     // the files were written
    CheckFailed, // the composition needs corrections: the window stays open for them
    WriteFailed, // the check passed but writing failed (its message was shown)
};

// The main form's text when the unattended run found the composition wrong.
inline constexpr std::string_view kEpromImageFailedText = "Eprom Image failed! Make corrections.";

// The /E run over an open, filled window: creates the image when the check passes. The image flag
// is cleared first, so any outcome but Created leaves it clear.
TEpromRunResult RunEpromImageUnattended(TEpromImgComposer& composer, TEpromImgHost& host);

} // namespace ravlo
