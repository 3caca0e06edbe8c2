#pragma once

#include "framework/rtdw_ini.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace ravlo {

// One port of the IO window's list.
struct TIOItem {
    static constexpr std::size_t kMaxDescript = 50;

    std::uint16_t Addr = 0x2300;
    std::string Descript; // code page 1250
    bool ByteAccess = true;
    std::uint16_t Data = 0xFF;

    bool operator==(const TIOItem&) const = default;
};

// The most recently used ports, newest first, at most eight.
class TIOItemList {
public:
    static constexpr std::size_t kMaxItems = 8;

    const std::vector<TIOItem>& Items() const { return items_; }
    std::size_t Count() const { return items_.size(); }
    bool Empty() const { return items_.empty(); }
    TIOItem& operator[](std::size_t index) { return items_[index]; }
    const TIOItem& operator[](std::size_t index) const { return items_[index]; }

    // Puts the entry in front; the ninth goes.
    void Add(TIOItem item);
    // Puts the entry at the end (loading), unless the list is full.
    void Append(TIOItem item);
    void MoveToFront(std::size_t index);
    std::optional<std::size_t> Find(std::uint16_t addr) const;

private:
    std::vector<TIOItem> items_;
};

// The list as "RTDW.INI" keeps it: [IOACCESS] Count, then [IOACCESS1] .. with Addr, Descript,
// BitAccess (8 or 16) and Data, integers in decimal. Loading reads only a file that exists and has
// [IOACCESS]; an entry without a description is left out, as is one whose address or data is no
// 16-bit value (with an error line).
TIOItemList LoadIOItems(const std::filesystem::path& file = GetRtdwIniName());
// Writes the list into a file that exists (a missing file is not created: false); sections of
// higher numbers than the list has stay as they are. False when the file could not be written.
bool SaveIOItems(const TIOItemList& list, const std::filesystem::path& file = GetRtdwIniName());

} // namespace ravlo
