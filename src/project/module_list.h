#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ravlo {

class tModule;

// One row of the module list.
struct TModuleListRow {
    std::string Name;
    std::string Start;
    std::string End;
    std::string Size;
    std::string Type;
    std::string Status;
    std::string BinSize;
};

// One bar of the memory map: where a module lies in the 1 MB space.
struct TMapBar {
    std::string Name;
    std::uint32_t Start = 0;
    std::uint32_t Length = 0;
    bool Ram = false; // drawn green, the others navy
    std::string Hint;
};

// A bar's place in pixels on a strip of width pixels for the 1 MB space; at least one pixel wide.
struct TMapSpan {
    int Left = 0;
    int Width = 0;
};
TMapSpan MapSpan(std::uint32_t start, std::uint32_t length, int width);

// The window's width in whole steps of 8 pixels (so the eight divisions stay equal), never below
// the design width.
int SnapMapWindowWidth(int width, int designWidth);

inline constexpr std::uint32_t kMapBiosStart = 0xFD000;
inline constexpr std::size_t kMapBarsMax = 20;

// Runs the module editor on module: OK answers true; next and prev enable those buttons on the way
// in and tell on the way out which one closed it.
using TModuleEditRunner = std::function<bool(tModule& module, tModule& unplaced, bool& next, bool& prev)>;

// The module list window without its widgets: the rows and the map bars of the open design, the
// selection, and the commands that change the design. It reads the project globals at every call,
// so it may outlive the project it showed. Message boxes go through the presenter.
class TModuleListModel {
public:
    explicit TModuleListModel(TModuleEditRunner runner);

    // Refills the rows and the bars; the selection stays when still valid, else the last row.
    void RefreshModuleList();

    const std::vector<TModuleListRow>& Rows() const { return rows_; }
    const std::vector<TMapBar>& Bars() const { return bars_; }
    int Selected() const { return selected_; }
    void Select(int index) { selected_ = index >= 0 && index < static_cast<int>(rows_.size()) ? index : -1; }
    // Edit, insert, delete, generate and save: only a FULL project's design is edited.
    bool EditingEnabled() const;

    // These answer true when the design changed (the list is refreshed then).
    bool Edit();
    bool Insert();
    bool Delete();
    // Writes the design file of a FULL project; a SMALL project's file holds what its model cannot
    // write back (the units' segments), so it is left as it is. True when written.
    bool SaveMemFile();

private:
    bool RunEditor(bool insert);

    TModuleEditRunner runner_;
    std::vector<TModuleListRow> rows_;
    std::vector<TMapBar> bars_;
    int selected_ = -1;
};

} // namespace ravlo
